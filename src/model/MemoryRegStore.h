#pragma once
#include <list>
#include <memory>
#include <unordered_map>

#include "model/RegStore.h"

// The store kept in memory: the tree the file store reads and writes, and the
// store the unit tests use. Every lookup, insertion and removal costs the same
// however many siblings a key has, so a store of many thousand keys reads,
// writes and rewrites in linear time.
class MemoryRegStore : public RegStore {
public:
    struct Key {
        std::string name;
        std::list<std::pair<std::string, RegValue>> values;  // in the order written first
        std::list<std::unique_ptr<Key>> subkeys;             // in creation order
        // Folded (lower-case) names to their entries above, made once a key
        // has more than a few (below that, a scan is quicker).
        std::unordered_map<std::string, std::list<std::pair<std::string, RegValue>>::iterator> valueIndex;
        std::unordered_map<std::string, std::list<std::unique_ptr<Key>>::iterator> subkeyIndex;
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
    // Makes this store hold the same keys and values as `other`.
    void CopyFrom(const MemoryRegStore& other);

    // Splits a key path into its names; empty names (doubled or trailing
    // backslashes) are dropped.
    static std::vector<std::string> SplitPath(const std::string& key);
    // The form in which names compare: ASCII letters in lower case.
    static std::string Fold(const std::string& name);
    // The key at `key`, or nullptr.
    const Key* FindKey(const std::string& key) const { return Find(key); }
    // The same for a path of folded names ("software\\x").
    const Key* FindFolded(const std::string& foldedPath) const;
    // For a reader that writes many values into one key: the key CreateKey
    // makes, and WriteValue into it.
    Key* CreateKeyAt(const std::string& key);
    static void WriteValueAt(Key& key, const std::string& name, const RegValue& value);
    // The value of `key` named `name` (letter case ignored), or nullptr.
    static const std::pair<std::string, RegValue>* FindValue(const Key& key, const std::string& name);

private:
    Key* Find(const std::string& key) const;
    std::unique_ptr<Key> root_;
};
