#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QWidget>
#include <gtest/gtest.h>

#include "lang/Msg.h"
#include "ui/lang/SystemLanguage.h"
#include "ui/lang/DataModule.h"
#include "model/MemoryRegStore.h"
#include "QStringPrint.h"

namespace {

const char* ConfigKey = "Software\\Lumarq Technology\\Pylon2\\Config\\";

std::string StoredLangId(const MemoryRegStore& store)
{
    auto v = store.ReadValue(ConfigKey, "LangId");
    return v && v->type == RegValue::Type::String ? v->text : "<none>";
}

class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override { Msg.fill(std::string()); }
    void TearDown() override { Msg.fill(std::string()); }
    MemoryRegStore store;
};

TEST_F(DataModuleTest, OffersFourLanguagesInMenuOrder)
{
    DataModule dm(&store, QString());
    const auto& list = dm.Changer.Languages;
    ASSERT_EQ(list.size(), 4);
    const struct {
        const char* code;
        const char* name;
        int image;
    } want[] = {{"PL", "Polski", 0}, {"EN", "English", 1}, {"HU", "Magyar", 2}, {"DE", "Deutsch", 12}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list[i].Code, want[i].code);
        EXPECT_EQ(list[i].Name, want[i].name);
        EXPECT_EQ(list[i].ImageIndex, want[i].image);
        EXPECT_EQ(list[i].MenuItem, nullptr);
        EXPECT_TRUE(LanguageChanger::LanguageText(list[i].Code).has_value());
    }
}

TEST_F(DataModuleTest, GlyphsAreDistinct16x16ImagesWithAlpha)
{
    DataModule dm(&store, QString());
    ASSERT_EQ(dm.Glyphs.size(), Glyph16Count);
    QSet<QByteArray> seen;
    for (int i = 0; i < dm.Glyphs.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage image = dm.Glyphs[i].pixmap(16, 16).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_TRUE(image.hasAlphaChannel());
        int opaque = 0, clear = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                opaque += alpha == 255;
                clear += alpha == 0;
            }
        EXPECT_GT(opaque, 20);
        EXPECT_GT(clear, 0);  // no glyph fills the whole square
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(argb.constBits()), argb.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), Glyph16Count);
}

TEST_F(DataModuleTest, KeepsTheStoredCodeAndStoresItAtTheEnd)
{
    {
        DataModule dm(&store, QString());
        EXPECT_TRUE(dm.Settings.LangId.empty());
        dm.Settings.LangId = "HU";
    }
    EXPECT_EQ(StoredLangId(store), "HU");
    DataModule again(&store, QString());
    EXPECT_EQ(again.Settings.LangId, "HU");
    EXPECT_TRUE(again.LoadLanguage());
    EXPECT_EQ(Msg[28], "OK");
    EXPECT_EQ(Msg[36], std::string("Hibás jelszó"));
}

TEST_F(DataModuleTest, FirstStartTakesTheSystemLanguageAndStoresIt)
{
    {
        DataModule dm(&store, QString());
        dm.ChooseStartupLanguage(LangGerman);
        EXPECT_EQ(dm.Settings.LangId, "DE");
        EXPECT_TRUE(dm.LoadLanguage());
        EXPECT_EQ(Msg[39], "Alle Rechte vorbehalten");
    }
    EXPECT_EQ(StoredLangId(store), "DE");
    // A stored choice wins over the system language.
    DataModule dm(&store, QString());
    dm.ChooseStartupLanguage(LangPolish);
    EXPECT_EQ(dm.Settings.LangId, "DE");
}

TEST_F(DataModuleTest, UnknownStoredCodeKeepsDesignTextsUntilALanguageIsPicked)
{
    ASSERT_TRUE(store.CreateKey(ConfigKey));
    ASSERT_TRUE(store.WriteValue(ConfigKey, "LangId", RegValue::String("XX")));
    DataModule dm(&store, QString());
    dm.ChooseStartupLanguage(LangEnglish);
    EXPECT_EQ(dm.Settings.LangId, "XX");

    QWidget form;
    form.setObjectName("FInfoWindow");
    form.setWindowTitle("projekt");
    auto* button = new QLabel("Zamknij okno", &form);
    button->setObjectName("SBOK");
    EXPECT_FALSE(dm.LoadLanguage());
    dm.Changer.Translate(&form, form.objectName(), QString(), 0);
    EXPECT_EQ(button->text(), "Zamknij okno");
    for (const std::string& m : Msg) EXPECT_TRUE(m.empty());

    dm.Settings.LangId = "EN";
    EXPECT_TRUE(dm.LoadLanguage());
    dm.Changer.Translate(&form, form.objectName(), QString(), 0);
    EXPECT_EQ(button->text(), "Close");
    EXPECT_EQ(Msg[0], "* Undefined network settings");
}

TEST(StartupLanguage, SystemLanguageGivesTheCode)
{
    EXPECT_EQ(LanguageCodeFor(7), "DE");
    EXPECT_EQ(LanguageCodeFor(9), "EN");
    EXPECT_EQ(LanguageCodeFor(14), "HU");
    EXPECT_EQ(LanguageCodeFor(21), "PL");
    // Full identifiers: only the primary language counts.
    EXPECT_EQ(LanguageCodeFor(0x0415), "PL");
    EXPECT_EQ(LanguageCodeFor(0x0C07), "DE");
    EXPECT_EQ(LanguageCodeFor(0x040E), "HU");
    for (int other : {0, 12, 0x040C, 0x0419, -1}) EXPECT_EQ(LanguageCodeFor(other), "EN") << other;

    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::German), LangGerman);
    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::English), LangEnglish);
    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::Hungarian), LangHungarian);
    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::Polish), LangPolish);
    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::French), 0);
    EXPECT_EQ(PrimaryLanguageIdOf(QLocale::C), 0);
}

}  // namespace
