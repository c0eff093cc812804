#include "model/MemoryRegStore.h"

#include <cctype>

namespace {

constexpr size_t IndexFrom = 8;

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const std::string& NameOf(const std::pair<std::string, RegValue>& v) { return v.first; }
const std::string& NameOf(const std::unique_ptr<MemoryRegStore::Key>& k) { return k->name; }

// The entry of `list` named `name`: by scan while the list is short, by its
// index from then on.
template <typename List, typename Index>
typename List::iterator Lookup(List& list, Index& index, const std::string& name)
{
    if (index.empty()) {
        for (auto it = list.begin(); it != list.end(); ++it)
            if (SameName(NameOf(*it), name)) return it;
        return list.end();
    }
    auto found = index.find(MemoryRegStore::Fold(name));
    return found == index.end() ? list.end() : found->second;
}

// Notes the entry just added at the end of `list`.
template <typename List, typename Index>
void Added(List& list, Index& index)
{
    if (!index.empty()) {
        index.emplace(MemoryRegStore::Fold(NameOf(list.back())), std::prev(list.end()));
    } else if (list.size() > IndexFrom) {
        for (auto it = list.begin(); it != list.end(); ++it) index.emplace(MemoryRegStore::Fold(NameOf(*it)), it);
    }
}

template <typename List, typename Index>
void Remove(List& list, Index& index, typename List::iterator it)
{
    if (!index.empty()) index.erase(MemoryRegStore::Fold(NameOf(*it)));
    list.erase(it);
}

void CopyKey(const MemoryRegStore::Key& from, MemoryRegStore::Key& to)
{
    to.name = from.name;
    for (const auto& [name, value] : from.values) {
        to.values.emplace_back(name, value);
        Added(to.values, to.valueIndex);
    }
    for (const auto& sub : from.subkeys) {
        auto fresh = std::make_unique<MemoryRegStore::Key>();
        CopyKey(*sub, *fresh);
        to.subkeys.push_back(std::move(fresh));
        Added(to.subkeys, to.subkeyIndex);
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
        auto it = Lookup(k->subkeys, k->subkeyIndex, part);
        if (it == k->subkeys.end()) return nullptr;
        k = it->get();
    }
    return k;
}

const MemoryRegStore::Key* MemoryRegStore::FindFolded(const std::string& foldedPath) const
{
    Key* k = root_.get();
    size_t start = 0;
    while (k && start <= foldedPath.size()) {
        size_t end = foldedPath.find('\\', start);
        if (end == std::string::npos) end = foldedPath.size();
        if (end > start) {
            auto it = Lookup(k->subkeys, k->subkeyIndex, foldedPath.substr(start, end - start));
            k = it == k->subkeys.end() ? nullptr : it->get();
        }
        start = end + 1;
    }
    return k;
}

const std::pair<std::string, RegValue>* MemoryRegStore::FindValue(const Key& key, const std::string& name)
{
    Key& k = const_cast<Key&>(key);
    auto it = Lookup(k.values, k.valueIndex, name);
    return it == k.values.end() ? nullptr : &*it;
}

bool MemoryRegStore::KeyExists(const std::string& key) const { return Find(key) != nullptr; }

bool MemoryRegStore::CreateKey(const std::string& key) { return CreateKeyAt(key) != nullptr; }

MemoryRegStore::Key* MemoryRegStore::CreateKeyAt(const std::string& key)
{
    Key* k = root_.get();
    for (const auto& part : SplitPath(key)) {
        auto it = Lookup(k->subkeys, k->subkeyIndex, part);
        if (it == k->subkeys.end()) {
            auto fresh = std::make_unique<Key>();
            fresh->name = part;
            k->subkeys.push_back(std::move(fresh));
            Added(k->subkeys, k->subkeyIndex);
            k = k->subkeys.back().get();
        } else {
            k = it->get();
        }
    }
    return k;
}

bool MemoryRegStore::DeleteKey(const std::string& key)
{
    auto parts = SplitPath(key);
    if (parts.empty()) return false;
    const std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const auto& p : parts) parentPath += p + "\\";
    Key* parent = Find(parentPath);
    if (!parent) return false;
    auto it = Lookup(parent->subkeys, parent->subkeyIndex, last);
    if (it == parent->subkeys.end()) return false;
    Remove(parent->subkeys, parent->subkeyIndex, it);
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
    if (const auto* v = FindValue(*k, name)) return v->second;
    return std::nullopt;
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
    auto it = Lookup(k.values, k.valueIndex, name);
    if (it != k.values.end()) {
        it->second = value;
        return;
    }
    k.values.emplace_back(name, value);
    Added(k.values, k.valueIndex);
}

bool MemoryRegStore::DeleteValue(const std::string& key, const std::string& name)
{
    Key* k = Find(key);
    if (!k) return false;
    auto it = Lookup(k->values, k->valueIndex, name);
    if (it == k->values.end()) return false;
    Remove(k->values, k->valueIndex, it);
    return true;
}
