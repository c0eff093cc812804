#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/FileHeader.h"
#include "model/FontSettings.h"
#include "model/PriceLine.h"
#include "model/BrightnessSettings.h"

class RegStore;

// The whole configuration of one price pylon. The program keeps one; every
// other object is a short-lived snapshot of it. Construction loads the
// operator's last session from the per-user store and every destruction,
// copies included, writes the state it holds back there, so the store always
// has the state of the last snapshot released.
class PylonConfig {
public:
    struct NetworkPylon {
        std::string Name;  // Windows-1250, at most 20 bytes
        std::string IP;    // dotted decimal, at most 15 bytes
        int32_t Port = 0;
        bool Active = false;

        bool operator==(const NetworkPylon&) const = default;
    };

    bool UseCOM = false;
    int8_t ComSpeed = 0;  // baud-rate code of the serial layer, 0 = not set
    std::string ComName;  // Windows-1250, at most 20 bytes
    std::vector<NetworkPylon> NetSettings;
    std::array<PriceLine, 7> Prices;
    BrightnessSettings Conf;
    bool UseGamma = false;
    FontSettings FontConf;
    bool DOMS = false;

    // Sets the defaults, then loads the session from `session` (none: defaults only).
    explicit PylonConfig(RegStore* session = nullptr);
    PylonConfig(const PylonConfig& other);
    PylonConfig& operator=(const PylonConfig& other);
    ~PylonConfig();

    // The configuration file: 0, 100 or 200 on saving; 0, 1 to 6 or 100 on opening.
    int SaveToFile(const std::string& fileName, FileHeader& header) const;
    int LoadFromFile(const std::string& fileName, FileHeader& header);

    void SaveSession() const;
    void LoadSession();

    // A scratch copy writes no session when it is released.
    void DetachSession() { session_ = nullptr; }
    RegStore* Session() const { return session_; }

    // Copies every configuration field of `other`, leaving the session binding.
    void AssignFields(const PylonConfig& other);
    bool SameFields(const PylonConfig& other) const;

    // "Nazwa 1" to "Nazwa 7".
    static std::string DefaultName(int line);

private:
    void SetDefaults();
    RegStore* session_ = nullptr;
};
