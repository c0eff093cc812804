#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/K_FILE.h"
#include "model/K_FONT_CONF.h"
#include "model/K_PRICE.h"
#include "model/K_PYLON_CONF.h"

class RegStore;

// The whole configuration of one price pylon. The program keeps one; every
// other object is a short-lived snapshot of it. Construction loads the
// operator's last session from the per-user store and every destruction,
// copies included, writes the state it holds back there, so the store always
// has the state of the last snapshot released.
class K_PYLON {
public:
    struct tag_IP_SETTINGS {
        std::string Name;   // Windows-1250, at most 20 bytes
        std::string IP;     // dotted decimal, at most 15 bytes
        int32_t Port = 0;
        bool Active = false;

        bool operator==(const tag_IP_SETTINGS&) const = default;
    };

    bool UseCOM = false;
    int8_t ComSpeed = 0;       // baud-rate code of the serial layer, 0 = not set
    std::string ComName;       // Windows-1250, at most 20 bytes
    std::vector<tag_IP_SETTINGS> NetSettings;
    std::array<K_PRICE, 7> Prices;
    K_PYLON_CONF Conf;
    bool UseGamma = false;
    K_FONT_CONF FontConf;
    bool DOMS = false;

    // Sets the defaults, then loads the session from `session` (none: defaults only).
    explicit K_PYLON(RegStore* session = nullptr);
    K_PYLON(const K_PYLON& other);
    K_PYLON& operator=(const K_PYLON& other);
    ~K_PYLON();

    // The configuration file: 0, 100 or 200 on saving; 0, 1 to 6 or 100 on opening.
    int SaveToFile(const std::string& fileName, K_FILE& header) const;
    int LoadFromFile(const std::string& fileName, K_FILE& header);

    void SaveSession() const;
    void LoadSession();

    // A scratch copy writes no session when it is released.
    void DetachSession() { session_ = nullptr; }
    RegStore* Session() const { return session_; }

    // Copies every configuration field of `other`, leaving the session binding.
    void AssignFields(const K_PYLON& other);
    bool SameFields(const K_PYLON& other) const;

    // "Nazwa 1" to "Nazwa 7".
    static std::string DefaultName(int line);

private:
    void SetDefaults();
    RegStore* session_ = nullptr;
};
