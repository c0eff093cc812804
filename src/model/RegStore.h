#pragma once
#include <optional>
#include <string>
#include <vector>

#include "model/RegValue.h"

// The per-user key-value store under HKEY_CURRENT_USER. Key paths are
// relative to the hive ("Software\Lumarq Technology\Pylon2\Session\"); a
// trailing backslash is accepted and letter case is ignored, as the registry
// does. Failures are reported by the return values only: the program treats
// every store problem silently.
class RegStore {
public:
    virtual ~RegStore() = default;

    virtual bool KeyExists(const std::string& key) const = 0;
    // Creates the key and its missing parents; true when the key exists afterwards.
    virtual bool CreateKey(const std::string& key) = 0;
    // Removes the key with everything below it.
    virtual bool DeleteKey(const std::string& key) = 0;
    // Names of the direct subkeys, in the order they were created.
    virtual std::vector<std::string> SubKeyNames(const std::string& key) const = 0;

    virtual std::optional<RegValue> ReadValue(const std::string& key, const std::string& name) const = 0;
    // The key must exist.
    virtual bool WriteValue(const std::string& key, const std::string& name, const RegValue& value) = 0;
    virtual bool DeleteValue(const std::string& key, const std::string& name) = 0;

    // Makes the changes since the last commit durable. A store kept only in
    // memory has nothing to do.
    virtual bool Commit() = 0;
};
