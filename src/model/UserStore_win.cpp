#include "model/UserStore.h"

#include <windows.h>

#include "model/WideText_win.h"

// On Windows the store is the registry's current-user hive itself: REG_BINARY,
// REG_SZ (wide strings, converted from and to the store's UTF-8) and REG_DWORD
// values, subkeys in the order the registry lists them. Every change is the
// registry's at once, so there is nothing to commit.
namespace {

// "Software\A\\B\" as the registry takes it: no empty names, no trailing backslash.
std::wstring KeyPath(const std::string& key)
{
    std::string path, name;
    for (size_t i = 0; i <= key.size(); ++i) {
        if (i == key.size() || key[i] == '\\') {
            if (!name.empty()) path += (path.empty() ? "" : "\\") + name;
            name.clear();
        } else {
            name.push_back(key[i]);
        }
    }
    return Wide(path);
}

// An open key, closed when it goes.
class Key {
public:
    Key() = default;
    ~Key()
    {
        if (h_) ::RegCloseKey(h_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(const std::wstring& path, REGSAM access)
    {
        return !path.empty() && ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, &h_) == ERROR_SUCCESS;
    }
    bool Create(const std::wstring& path)
    {
        return !path.empty() && ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_READ | KEY_WRITE, nullptr, &h_, nullptr) == ERROR_SUCCESS;
    }
    HKEY Get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

class RegistryStore : public RegStore {
public:
    bool KeyExists(const std::string& key) const override
    {
        Key k;
        return k.Open(KeyPath(key), KEY_READ);
    }

    bool CreateKey(const std::string& key) override
    {
        Key k;
        return k.Create(KeyPath(key));
    }

    bool DeleteKey(const std::string& key) override
    {
        const std::wstring path = KeyPath(key);
        // An empty path would name the hive itself.
        return !path.empty() && ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
    }

    std::vector<std::string> SubKeyNames(const std::string& key) const override
    {
        std::vector<std::string> names;
        Key k;
        if (!k.Open(KeyPath(key), KEY_READ)) return names;
        DWORD longest = 0;
        if (::RegQueryInfoKeyW(k.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        std::wstring name(size_t(longest) + 1, L'\0');
        for (DWORD i = 0;; ++i) {
            DWORD size = DWORD(name.size());
            const LONG r = ::RegEnumKeyExW(k.Get(), i, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
            if (r != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or a key that changed under us
            names.push_back(Utf8(name.substr(0, size)));
        }
        return names;
    }

    std::optional<RegValue> ReadValue(const std::string& key, const std::string& name) const override
    {
        Key k;
        if (!k.Open(KeyPath(key), KEY_QUERY_VALUE)) return std::nullopt;
        const std::wstring wname = Wide(name);
        DWORD type = 0, size = 0;
        if (::RegQueryValueExW(k.Get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        // A hand-made value far beyond anything the program writes is not ours.
        if (size > (1u << 20)) return std::nullopt;
        std::vector<uint8_t> data(size);
        if (::RegQueryValueExW(k.Get(), wname.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size);
        switch (type) {
        case REG_BINARY: return RegValue::Binary(std::move(data));
        case REG_DWORD: {
            if (data.size() != 4) return std::nullopt;
            return RegValue::DWord(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                   uint32_t(data[3]) << 24);
        }
        case REG_SZ: {
            std::wstring text(data.size() / 2, L'\0');
            for (size_t i = 0; i < text.size(); ++i) text[i] = wchar_t(data[2 * i] | data[2 * i + 1] << 8);
            // The stored terminator (one or several) is not part of the text.
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            return RegValue::String(Utf8(text));
        }
        default: return std::nullopt;  // a type the program does not use
        }
    }

    bool WriteValue(const std::string& key, const std::string& name, const RegValue& value) override
    {
        Key k;
        if (!k.Open(KeyPath(key), KEY_SET_VALUE)) return false;
        const std::wstring wname = Wide(name);
        LONG r = ERROR_INVALID_PARAMETER;
        switch (value.type) {
        case RegValue::Type::String: {
            const std::wstring text = Wide(value.text);
            r = ::RegSetValueExW(k.Get(), wname.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 DWORD((text.size() + 1) * sizeof(wchar_t)));
            break;
        }
        case RegValue::Type::Binary:
            r = ::RegSetValueExW(k.Get(), wname.c_str(), 0, REG_BINARY, value.bytes.data(), DWORD(value.bytes.size()));
            break;
        case RegValue::Type::DWord: {
            const DWORD d = value.dword;
            r = ::RegSetValueExW(k.Get(), wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
            break;
        }
        }
        return r == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& key, const std::string& name) override
    {
        Key k;
        if (!k.Open(KeyPath(key), KEY_SET_VALUE)) return false;
        return ::RegDeleteValueW(k.Get(), Wide(name).c_str()) == ERROR_SUCCESS;
    }

    bool Commit() override { return true; }
};

}  // namespace

std::string UserStore::Location() { return "HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2"; }

std::unique_ptr<RegStore> UserStore::Open(StoreTrouble*) { return std::make_unique<RegistryStore>(); }
