#pragma once
#include <string>

class RegStore;

// The interface language, the one preference that is not part of a pylon
// configuration: "Software\Lumarq Technology\Pylon2\Config\", value "LangId".
// Loaded when made, saved when released.
class TApplicationSettings {
public:
    static constexpr const char* ConfigKey = "Software\\Lumarq Technology\\Pylon2\\Config\\";

    explicit TApplicationSettings(RegStore* store);
    ~TApplicationSettings();
    TApplicationSettings(const TApplicationSettings&) = delete;
    TApplicationSettings& operator=(const TApplicationSettings&) = delete;

    std::string LangId;  // "PL", "EN", "HU", "DE"; empty when none is chosen yet

    void LoadSettings();
    void SaveSettings();

private:
    RegStore* store_;
};
