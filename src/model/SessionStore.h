#pragma once

class K_PYLON;
class RegStore;

// The operator's last configuration in the per-user store, under
// "Software\Lumarq Technology\Pylon2\Session\" with the subkeys "Prices" and
// "NetSettings". The font block is not kept.
class SessionStore {
public:
    static constexpr const char* SessionKey = "Software\\Lumarq Technology\\Pylon2\\Session\\";
    static constexpr const char* PricesKey = "Software\\Lumarq Technology\\Pylon2\\Session\\Prices\\";
    static constexpr const char* NetSettingsKey = "Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\";

    static void Save(const K_PYLON& model, RegStore& store);
    // Values of another type or size than the program writes are skipped one
    // by one; the rest still loads.
    static void Load(K_PYLON& model, RegStore& store);
};
