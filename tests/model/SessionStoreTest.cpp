#include <gtest/gtest.h>

#include "model/Cp1250.h"
#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "model/SessionStore.h"
#include "model/ApplicationSettings.h"

namespace {

const std::string Session = SessionStore::SessionKey;
const std::string Prices = SessionStore::PricesKey;
const std::string Net = SessionStore::NetSettingsKey;

}  // namespace

TEST(SessionStore, FirstExitCreatesAllThreeKeysWithTheirValues)
{
    MemoryRegStore s;
    {
        PylonConfig m(&s);
        m.Prices[0].Name = "Pb95 żółć";  // Windows-1250 text in the model
        m.Prices[0].Name = Cp1250::FromUtf8("Pb95 żółć");
        m.Prices[6].Price = {1, 2, 3, 4, 5, 6};
        m.Prices[6].Conf = {1, 0, 3, 1, 0};
        m.UseGamma = true;
    }
    EXPECT_EQ(s.ReadValue(Session, "Conf")->bytes, (std::vector<uint8_t>{100, 100, 80, 22, 0, 0, 1}));
    EXPECT_FALSE(s.ReadValue(Session, "ComSpeed"));
    EXPECT_EQ(s.ReadValue(Session, "ComName")->text, "");
    EXPECT_EQ(s.ReadValue(Prices, "0.PriceName")->text, "Pb95 żółć");
    EXPECT_EQ(s.ReadValue(Prices, "6.Price")->bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(s.ReadValue(Prices, "6.PriceConf")->bytes, (std::vector<uint8_t>{1, 0, 3, 1, 0}));
    EXPECT_TRUE(s.KeyExists(Net));

    PylonConfig back(&s);
    EXPECT_EQ(back.Prices[0].Name, Cp1250::FromUtf8("Pb95 żółć"));
    EXPECT_EQ(back.Prices[6].Conf, (LineSettings{1, 0, 3, 1, 0}));
    EXPECT_TRUE(back.UseGamma);
    EXPECT_EQ(back.FontConf, (FontSettings{3, 0}));  // never stored
}

TEST(SessionStore, NetworkEntriesComeBackInNumericOrderAndShrinkingRemovesOldOnes)
{
    MemoryRegStore s;
    {
        PylonConfig m(&s);
        for (int i = 1; i <= 12; ++i)
            m.NetSettings.push_back({"P" + std::to_string(i), "10.0.0." + std::to_string(i), 2100 + i, i % 2 == 0});
    }
    // The store lists subkeys in another order than written.
    s.DeleteKey(Net + "1");
    s.CreateKey(Net + "1");
    s.WriteValue(Net + "1", "Name", RegValue::String("P1"));
    s.WriteValue(Net + "1", "IP", RegValue::String("10.0.0.1"));
    s.WriteValue(Net + "1", "Port", RegValue::DWord(2101));
    s.WriteValue(Net + "1", "Active", RegValue::DWord(5));
    {
        PylonConfig m(&s);
        ASSERT_EQ(m.NetSettings.size(), 12u);
        for (int i = 0; i < 12; ++i) EXPECT_EQ(m.NetSettings[i].Name, "P" + std::to_string(i + 1));
        EXPECT_TRUE(m.NetSettings[0].Active);  // any non-zero reads as active
        m.NetSettings.resize(3);
    }
    EXPECT_EQ(s.SubKeyNames(Net), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(SessionStore, SpeedZeroRemovesTheStoredValue)
{
    MemoryRegStore s;
    {
        PylonConfig m(&s);
        m.ComSpeed = -3;
    }
    EXPECT_EQ(s.ReadValue(Session, "ComSpeed")->dword, 0xFFFFFFFDu);  // sign-extended
    {
        PylonConfig m(&s);
        EXPECT_EQ(m.ComSpeed, -3);
        m.ComSpeed = 0;
    }
    EXPECT_FALSE(s.ReadValue(Session, "ComSpeed"));
    PylonConfig m(&s);
    EXPECT_EQ(m.ComSpeed, 0);
}

TEST(SessionStore, ValuesOfAnotherShapeAreSkippedOneByOne)
{
    MemoryRegStore s;
    s.CreateKey(Session);
    s.WriteValue(Session, "Conf", RegValue::Binary({10, 20, 30, 40, 1, 1}));  // 6 bytes: UseGamma untouched
    s.WriteValue(Session, "ComName", RegValue::DWord(3));                     // wrong type
    s.WriteValue(Session, "ComSpeed", RegValue::String("7"));                 // wrong type
    s.CreateKey(Prices);
    s.WriteValue(Prices, "0.Price", RegValue::Binary({1, 2, 3, 4, 5, 6, 7}));  // longer than the field
    s.WriteValue(Prices, "1.Price", RegValue::Binary({9, 9, 9, 9, 9, 9}));
    s.WriteValue(Prices, "1.PriceConf", RegValue::String("x"));
    s.WriteValue(Prices, "2.PriceName", RegValue::String(std::string(30, 'A')));
    s.CreateKey(Net + "1");
    s.WriteValue(Net + "1", "Port", RegValue::String("2101"));
    s.WriteValue(Net + "1", "IP", RegValue::String("10.0.0.1"));

    PylonConfig m(nullptr);
    m.UseGamma = true;
    SessionStore::Load(m, s);
    EXPECT_EQ(m.Conf, (BrightnessSettings{10, 20, 30, 40}));
    EXPECT_TRUE(m.DOMS);
    EXPECT_TRUE(m.UseCOM);
    EXPECT_TRUE(m.UseGamma);
    EXPECT_EQ(m.ComSpeed, 0);
    EXPECT_EQ(m.Prices[0].Price, (std::array<uint8_t, 6>{}));
    EXPECT_EQ(m.Prices[1].Price, (std::array<uint8_t, 6>{9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(m.Prices[1].Conf, LineSettings{});
    EXPECT_EQ(m.Prices[1].Name, "");  // missing name reads empty
    EXPECT_EQ(m.Prices[2].Name, std::string(20, 'A'));
    ASSERT_EQ(m.NetSettings.size(), 1u);
    EXPECT_EQ(m.NetSettings[0].IP, "10.0.0.1");
    EXPECT_EQ(m.NetSettings[0].Port, 0);
}

TEST(ApplicationSettings, LanguageComesBackAndMissingValueIsEmpty)
{
    MemoryRegStore s;
    {
        ApplicationSettings a(&s);
        EXPECT_TRUE(a.LangId.empty());
        a.LangId = "HU";
    }
    EXPECT_EQ(s.ReadValue(ApplicationSettings::ConfigKey, "LangId")->text, "HU");
    {
        ApplicationSettings b(&s);
        EXPECT_EQ(b.LangId, "HU");
    }
    s.DeleteValue(ApplicationSettings::ConfigKey, "LangId");
    ApplicationSettings c(&s);
    EXPECT_TRUE(c.LangId.empty());
}

TEST(SessionStore, VerifyAfterSendIsOffUnlessStoredOnAndSurvivesASessionSave)
{
    const std::pair<std::optional<RegValue>, bool> cases[] = {
        {std::nullopt, false}, {RegValue::DWord(1), true}, {RegValue::DWord(0), false}, {RegValue::String("1"), false}};
    for (const auto& [stored, on] : cases) {
        MemoryRegStore s;
        if (stored) s.CreateKey(Session), s.WriteValue(Session, "VerifyAfterSend", *stored);
        EXPECT_EQ(SessionStore::LoadVerifyAfterSend(s), on);
    }
    MemoryRegStore s;
    ASSERT_TRUE(SessionStore::SaveVerifyAfterSend(s, true));
    {
        PylonConfig m(&s);
    }  // the session written over it keeps the choice
    EXPECT_EQ(s.ReadValue(Session, "VerifyAfterSend"), RegValue::DWord(1));
}
