#pragma once
#include <string>

class RegStore;

// The interface language, the one preference that is not part of a pylon
// configuration: "Software\Lumarq Technology\Pylon2\Config\", value "LangId".
// Loaded when made, saved when released.
class ApplicationSettings {
public:
    static constexpr const char* ConfigKey = "Software\\Lumarq Technology\\Pylon2\\Config\\";

    explicit ApplicationSettings(RegStore* store);
    ~ApplicationSettings();
    ApplicationSettings(const ApplicationSettings&) = delete;
    ApplicationSettings& operator=(const ApplicationSettings&) = delete;

    std::string LangId;  // "PL", "EN", "HU", "DE"; empty when none is chosen yet

    void LoadSettings();
    void SaveSettings();

private:
    RegStore* store_;
};
