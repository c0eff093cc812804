#pragma once

class PylonConfig;
class RegStore;

// The operator's last configuration in the per-user store, under
// "Software\Lumarq Technology\Pylon2\Session\" with the subkeys "Prices" and
// "NetSettings". The font block is not kept.
class SessionStore {
public:
    static constexpr const char* SessionKey = "Software\\Lumarq Technology\\Pylon2\\Session\\";
    static constexpr const char* PricesKey = "Software\\Lumarq Technology\\Pylon2\\Session\\Prices\\";
    static constexpr const char* NetSettingsKey = "Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\";

    // The operator's choice to read each pylon's configuration back after
    // sending: a 32-bit integer 1 or 0 beside the session's values. Absent,
    // or of another type: off.
    static constexpr const char* VerifyAfterSendValue = "VerifyAfterSend";

    static void Save(const PylonConfig& model, RegStore& store);
    // Values of another type or size than the program writes are skipped one
    // by one; the rest still loads.
    static void Load(PylonConfig& model, RegStore& store);

    static bool LoadVerifyAfterSend(const RegStore& store);
    // Written and committed at once; false when the store could not take it.
    static bool SaveVerifyAfterSend(RegStore& store, bool on);
};
