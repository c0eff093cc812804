#include "model/MemoryRegStore.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

MemoryRegStore::MemoryRegStore() : root_(std::make_unique<Key>()) {}
MemoryRegStore::~MemoryRegStore() = default;

void MemoryRegStore::Clear() { root_ = std::make_unique<Key>(); }

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
        auto it = std::find_if(k->subkeys.begin(), k->subkeys.end(),
                               [&](const auto& s) { return SameName(s->name, part); });
        if (it == k->subkeys.end()) return nullptr;
        k = it->get();
    }
    return k;
}

bool MemoryRegStore::KeyExists(const std::string& key) const { return Find(key) != nullptr; }

bool MemoryRegStore::CreateKey(const std::string& key)
{
    Key* k = root_.get();
    for (const auto& part : SplitPath(key)) {
        auto it = std::find_if(k->subkeys.begin(), k->subkeys.end(),
                               [&](const auto& s) { return SameName(s->name, part); });
        if (it == k->subkeys.end()) {
            auto fresh = std::make_unique<Key>();
            fresh->name = part;
            k->subkeys.push_back(std::move(fresh));
            k = k->subkeys.back().get();
        } else {
            k = it->get();
        }
    }
    return true;
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
    auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                           [&](const auto& s) { return SameName(s->name, last); });
    if (it == parent->subkeys.end()) return false;
    parent->subkeys.erase(it);
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
    for (const auto& [n, v] : k->values)
        if (SameName(n, name)) return v;
    return std::nullopt;
}

bool MemoryRegStore::WriteValue(const std::string& key, const std::string& name, const RegValue& value)
{
    Key* k = Find(key);
    if (!k) return false;
    for (auto& [n, v] : k->values)
        if (SameName(n, name)) { v = value; return true; }
    k->values.emplace_back(name, value);
    return true;
}

bool MemoryRegStore::DeleteValue(const std::string& key, const std::string& name)
{
    Key* k = Find(key);
    if (!k) return false;
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const auto& p) { return SameName(p.first, name); });
    if (it == k->values.end()) return false;
    k->values.erase(it);
    return true;
}
