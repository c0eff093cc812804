// The store on the real registry of the current user. It runs only where the
// runner gives it a registry of its own (LMQ_PRIVATE_REGISTRY=1, a private
// wine prefix): it replaces the program's keys. The session it saves last is
// left in place for the runner to read back with "reg query".
#include <gtest/gtest.h>

#include <cstdlib>
#include <windows.h>

#include "model/PylonConfig.h"
#include "model/SessionStore.h"
#include "model/ApplicationSettings.h"
#include "model/UserStore.h"

namespace {

const wchar_t* const Root = L"Software\\Lumarq Technology\\Pylon2";

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* allowed = std::getenv("LMQ_PRIVATE_REGISTRY");
        if (!allowed || std::string(allowed) != "1") GTEST_SKIP() << "needs a registry of its own";
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Root);
        store = UserStore::Open();
    }

    // The type and bytes the registry holds, read past the store.
    static std::pair<DWORD, std::vector<uint8_t>> Raw(const std::wstring& key, const std::wstring& name)
    {
        HKEY k;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {REG_NONE, {}};
        DWORD type = 0, size = 512;
        std::vector<uint8_t> data(size);
        const LONG r = ::RegQueryValueExW(k, name.c_str(), nullptr, &type, data.data(), &size);
        ::RegCloseKey(k);
        if (r != ERROR_SUCCESS) return {REG_NONE, {}};
        data.resize(size);
        return {type, data};
    }

    static std::vector<uint8_t> WideBytes(const std::wstring& w)
    {
        std::vector<uint8_t> b;
        for (wchar_t c : w) {
            b.push_back(uint8_t(c & 0xFF));
            b.push_back(uint8_t(c >> 8));
        }
        b.push_back(0);
        b.push_back(0);
        return b;
    }

    static PylonConfig Sample(int entries)
    {
        PylonConfig m;
        m.Conf.Left = 100;
        m.Conf.Right = 90;
        m.Conf.Sensor = 80;
        m.Conf.Gamma = 22;
        m.UseCOM = true;
        m.UseGamma = true;
        m.ComSpeed = 7;
        m.ComName = "COM7";
        m.Prices[0].Price = {1, 2, 3, 4, 5, 6};
        m.Prices[0].Name = "\xA3\xF3"
                           "d\x9F";  // "Łódź" in Windows-1250
        m.Prices[0].Conf.DecimalPoint = 3;
        for (int i = 1; i <= entries; ++i)
            m.NetSettings.push_back(
                {"Pylon " + std::to_string(i), "127.0.0." + std::to_string(i), 2100 + i, i % 2 == 1});
        return m;
    }

    std::unique_ptr<RegStore> store;
};

TEST_F(RegistryStore, KeysAndValuesFollowTheRegistrysRules)
{
    const std::string key = "Software\\Lumarq Technology\\Pylon2\\Probe\\";
    EXPECT_FALSE(store->KeyExists(key));
    EXPECT_FALSE(store->WriteValue(key, "x", RegValue::DWord(1)));  // the key must exist
    ASSERT_TRUE(store->CreateKey(key + "Deep\\Below"));
    EXPECT_TRUE(store->KeyExists("SOFTWARE\\lumarq technology\\PYLON2\\probe"));  // letter case, no backslash
    EXPECT_TRUE(store->WriteValue(key, "Text", RegValue::String("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87")));
    EXPECT_EQ(store->ReadValue(key, "TEXT"), RegValue::String("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"));
    EXPECT_EQ(Raw(L"Software\\Lumarq Technology\\Pylon2\\Probe", L"Text").second,
              WideBytes(L"Za\u017C\u00F3\u0142\u0107"));

    // A value of a type the program does not use reads as missing.
    HKEY k;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Lumarq Technology\\Pylon2\\Probe", 0, KEY_WRITE, &k),
              ERROR_SUCCESS);
    const std::vector<uint8_t> expand = WideBytes(L"%TEMP%");
    ::RegSetValueExW(k, L"Expand", 0, REG_EXPAND_SZ, expand.data(), DWORD(expand.size()));
    ::RegCloseKey(k);
    EXPECT_FALSE(store->ReadValue(key, "Expand"));

    EXPECT_TRUE(store->DeleteValue(key, "Text"));
    EXPECT_FALSE(store->DeleteValue(key, "Text"));
    EXPECT_TRUE(store->DeleteKey(key));  // with everything below it
    EXPECT_FALSE(store->KeyExists(key + "Deep"));
    EXPECT_FALSE(store->DeleteKey(""));  // never the hive itself
}

TEST_F(RegistryStore, LanguageCodeIsAStringUnderConfig)
{
    {
        ApplicationSettings s(store.get());
        EXPECT_EQ(s.LangId, "");
        s.LangId = "HU";
    }
    EXPECT_EQ(Raw(std::wstring(Root) + L"\\Config", L"LangId"),
              (std::pair<DWORD, std::vector<uint8_t>>{REG_SZ, WideBytes(L"HU")}));
    ApplicationSettings again(store.get());
    EXPECT_EQ(again.LangId, "HU");
}

TEST_F(RegistryStore, SessionRoundTripsWithTheRegistrysValueTypes)
{
    const PylonConfig saved = Sample(12);
    SessionStore::Save(saved, *store);

    const std::wstring session = std::wstring(Root) + L"\\Session";
    const struct {
        std::wstring key, name;
        DWORD type;
        std::vector<uint8_t> bytes;
    } expected[] = {
        {session, L"Conf", REG_BINARY, {100, 90, 80, 22, 0, 1, 1}},
        {session, L"ComSpeed", REG_DWORD, {7, 0, 0, 0}},
        {session, L"ComName", REG_SZ, WideBytes(L"COM7")},
        {session + L"\\Prices", L"0.Price", REG_BINARY, {1, 2, 3, 4, 5, 6}},
        {session + L"\\Prices", L"0.PriceName", REG_SZ, WideBytes(L"\u0141\u00F3d\u017A")},
        {session + L"\\Prices", L"0.PriceConf", REG_BINARY, {0, 0, 3, 0, 0}},
        {session + L"\\NetSettings\\10", L"IP", REG_SZ, WideBytes(L"127.0.0.10")},
        {session + L"\\NetSettings\\12", L"Port", REG_DWORD, {0x40, 0x08, 0, 0}},
        {session + L"\\NetSettings\\2", L"Active", REG_DWORD, {0, 0, 0, 0}},
    };
    for (const auto& e : expected) {
        const auto [type, bytes] = Raw(e.key, e.name);
        EXPECT_EQ(type, e.type) << std::string(e.name.begin(), e.name.end());
        EXPECT_EQ(bytes, e.bytes) << std::string(e.name.begin(), e.name.end());
    }

    // The registry lists "10" before "2"; the entries still come back in list order.
    const auto listed = store->SubKeyNames(SessionStore::NetSettingsKey);
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ(listed[1], "10");
    PylonConfig loaded;
    loaded.ComName = "stale";
    SessionStore::Load(loaded, *store);
    EXPECT_EQ(loaded.ComName, "COM7");
    EXPECT_EQ(loaded.ComSpeed, 7);
    EXPECT_EQ(loaded.Prices[0].Name, saved.Prices[0].Name);
    EXPECT_EQ(loaded.Prices[0].Price, saved.Prices[0].Price);
    ASSERT_EQ(loaded.NetSettings.size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(loaded.NetSettings[i].Name, saved.NetSettings[i].Name);
        EXPECT_EQ(loaded.NetSettings[i].Port, saved.NetSettings[i].Port);
        EXPECT_EQ(loaded.NetSettings[i].Active, saved.NetSettings[i].Active);
    }

    // Saving fewer entries leaves exactly their subkeys. Declared last, so this
    // session stays for the runner.
    SessionStore::Save(Sample(3), *store);
    EXPECT_EQ(store->SubKeyNames(SessionStore::NetSettingsKey), (std::vector<std::string>{"1", "2", "3"}));
}

}  // namespace
