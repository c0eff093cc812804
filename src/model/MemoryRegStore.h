#pragma once
#include <memory>

#include "model/RegStore.h"

// The store kept in memory: the tree the file store reads and writes, and the
// store the unit tests use.
class MemoryRegStore : public RegStore {
public:
    struct Key {
        std::string name;
        std::vector<std::pair<std::string, RegValue>> values;  // in the order written first
        std::vector<std::unique_ptr<Key>> subkeys;              // in creation order
    };

    MemoryRegStore();
    ~MemoryRegStore() override;

    bool KeyExists(const std::string& key) const override;
    bool CreateKey(const std::string& key) override;
    bool DeleteKey(const std::string& key) override;
    std::vector<std::string> SubKeyNames(const std::string& key) const override;
    std::optional<RegValue> ReadValue(const std::string& key, const std::string& name) const override;
    bool WriteValue(const std::string& key, const std::string& name, const RegValue& value) override;
    bool DeleteValue(const std::string& key, const std::string& name) override;
    bool Commit() override { return true; }

    const Key& Root() const { return *root_; }
    void Clear();

    // Splits a key path into its names; empty names (doubled or trailing
    // backslashes) are dropped.
    static std::vector<std::string> SplitPath(const std::string& key);

private:
    Key* Find(const std::string& key) const;
    std::unique_ptr<Key> root_;
};
