#include "model/MemoryRegStore.h"

#include <cctype>

namespace {

void CopyKey(const MemoryRegStore::Key& from, MemoryRegStore::Key& to)
{
    to.name = from.name;
    for (const auto& [name, value] : from.values) {
        to.values.emplace_back(name, value);
        to.valueIndex.emplace(MemoryRegStore::Fold(name), std::prev(to.values.end()));
    }
    for (const auto& sub : from.subkeys) {
        auto fresh = std::make_unique<MemoryRegStore::Key>();
        CopyKey(*sub, *fresh);
        to.subkeys.push_back(std::move(fresh));
        to.subkeyIndex.emplace(MemoryRegStore::Fold(sub->name), std::prev(to.subkeys.end()));
    }
}

}  // namespace

MemoryRegStore::MemoryRegStore() : root_(std::make_unique<Key>()) {}
MemoryRegStore::~MemoryRegStore() = default;

void MemoryRegStore::Clear() { root_ = std::make_unique<Key>(); }

void MemoryRegStore::CopyFrom(const MemoryRegStore& other)
{
    if (&other == this) return;
    auto fresh = std::make_unique<Key>();
    CopyKey(*other.root_, *fresh);
    root_ = std::move(fresh);
}

std::string MemoryRegStore::Fold(const std::string& name)
{
    std::string out = name;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string> MemoryRegStore::SplitPath(const std::string& key)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : key) {
        if (c == '\\') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

MemoryRegStore::Key* MemoryRegStore::Find(const std::string& key) const
{
    Key* k = root_.get();
    for (const auto& part : SplitPath(key)) {
        auto it = k->subkeyIndex.find(Fold(part));
        if (it == k->subkeyIndex.end()) return nullptr;
        k = it->second->get();
    }
    return k;
}

bool MemoryRegStore::KeyExists(const std::string& key) const { return Find(key) != nullptr; }

const MemoryRegStore::Key* MemoryRegStore::FindFolded(const std::string& foldedPath) const
{
    const Key* k = root_.get();
    size_t start = 0;
    while (k && start <= foldedPath.size()) {
        size_t end = foldedPath.find('\\', start);
        if (end == std::string::npos) end = foldedPath.size();
        if (end > start) {
            auto it = k->subkeyIndex.find(foldedPath.substr(start, end - start));
            k = it == k->subkeyIndex.end() ? nullptr : it->second->get();
        }
        start = end + 1;
    }
    return k;
}

bool MemoryRegStore::CreateKey(const std::string& key)
{
    return CreateKeyAt(key) != nullptr;
}

MemoryRegStore::Key* MemoryRegStore::CreateKeyAt(const std::string& key)
{
    Key* k = root_.get();
    for (const auto& part : SplitPath(key)) {
        const std::string folded = Fold(part);
        auto it = k->subkeyIndex.find(folded);
        if (it == k->subkeyIndex.end()) {
            auto fresh = std::make_unique<Key>();
            fresh->name = part;
            k->subkeys.push_back(std::move(fresh));
            k->subkeyIndex.emplace(folded, std::prev(k->subkeys.end()));
            k = k->subkeys.back().get();
        } else {
            k = it->second->get();
        }
    }
    return k;
}

bool MemoryRegStore::DeleteKey(const std::string& key)
{
    auto parts = SplitPath(key);
    if (parts.empty()) return false;
    const std::string last = Fold(parts.back());
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts) parentPath += p + "\\";
    Key* parent = Find(parentPath);
    if (!parent) return false;
    auto it = parent->subkeyIndex.find(last);
    if (it == parent->subkeyIndex.end()) return false;
    parent->subkeys.erase(it->second);
    parent->subkeyIndex.erase(it);
    return true;
}

std::vector<std::string> MemoryRegStore::SubKeyNames(const std::string& key) const
{
    std::vector<std::string> names;
    if (const Key* k = Find(key))
        for (const auto& s : k->subkeys) names.push_back(s->name);
    return names;
}

std::optional<RegValue> MemoryRegStore::ReadValue(const std::string& key, const std::string& name) const
{
    const Key* k = Find(key);
    if (!k) return std::nullopt;
    auto it = k->valueIndex.find(Fold(name));
    if (it == k->valueIndex.end()) return std::nullopt;
    return it->second->second;
}

bool MemoryRegStore::WriteValue(const std::string& key, const std::string& name, const RegValue& value)
{
    Key* k = Find(key);
    if (!k) return false;
    WriteValueAt(*k, name, value);
    return true;
}

void MemoryRegStore::WriteValueAt(Key& k, const std::string& name, const RegValue& value)
{
    const std::string folded = Fold(name);
    if (auto it = k.valueIndex.find(folded); it != k.valueIndex.end()) {
        it->second->second = value;
        return;
    }
    k.values.emplace_back(name, value);
    k.valueIndex.emplace(folded, std::prev(k.values.end()));
}

bool MemoryRegStore::DeleteValue(const std::string& key, const std::string& name)
{
    Key* k = Find(key);
    if (!k) return false;
    auto it = k->valueIndex.find(Fold(name));
    if (it == k->valueIndex.end()) return false;
    k->values.erase(it->second);
    k->valueIndex.erase(it);
    return true;
}
