// The core's language parts without Qt: the INI reader's letter case and
// blanks, the built-in texts, the message table.
#include <chrono>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "lang/IniStore.h"
#include "lang/LanguageTexts.h"
#include "lang/Msg.h"

namespace {

TEST(IniStore, FindsNamesWhateverTheirLetterCase)
{
    // Names of the four interface languages, written in one case and asked for in another.
    IniStore ini;
    ini.SetText("\xEF\xBB\xBF[ŁÓDŹ]\r\nŻÓŁW=1\r\nÁRVÍZTŰRŐ=2\r\nÄÖÜ=3\r\n[sekcja]\r\nKey= spaced \r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"łódź", "żółw", "1"},
        {"ŁÓDŹ", "árvíztűrő", "2"},
        {"Łódź", "äöü", "3"},
        {"SEKCJA", "key", " spaced "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_TRUE(ini.ValueExists(c.section, c.key));
        EXPECT_EQ(ini.ReadString(c.section, c.key, "none"), c.value);
    }
    // Letters outside the folded ranges are compared as they stand.
    EXPECT_FALSE(ini.ValueExists("łódź", "zolw"));
    EXPECT_EQ(IniStore::FoldCase("ŸĽĹĽ ΣΩ"), "ÿľĺľ ΣΩ");
}

TEST(IniStore, TrimsKeysAndSectionsOfUnicodeBlanksButKeepsValues)
{
    IniStore ini;
    // A no-break space (U+00A0) and an ideographic space (U+3000) around names.
    ini.SetText("[\xC2\xA0Main\xE3\x80\x80]\n\xC2\xA0Key\t=\xC2\xA0value\n=orphan\n;comment=x\nbroken\n");
    EXPECT_EQ(ini.ReadString("Main", "Key", ""), "\xC2\xA0value");
    EXPECT_EQ(ini.KeyCount(), 1);
}

// Distinct sections cost the same each, however many there are; a section
// met again later goes on, and the first key of a name wins across the parts.
TEST(IniStore, ManySectionsReadInOnePass)
{
    const auto parse = [](int sections, IniStore& ini) {
        std::string text;
        for (int i = 0; i < sections; ++i) text += "[s" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
        text += "[S7]\nk=again\nextra=1\n";
        const auto start = std::chrono::steady_clock::now();
        ini.SetText(text);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    IniStore small, large;
    const double t1 = parse(20000, small);
    const double t4 = parse(80000, large);
    EXPECT_LT(t4, 8 * t1 + 0.05) << t1 << " s, then " << t4 << " s for four times as many";
    EXPECT_EQ(large.SectionCount(), 80000);
    EXPECT_EQ(large.ReadString("s7", "K", ""), "7");
    EXPECT_EQ(large.ReadString("s7", "extra", ""), "1");
    EXPECT_EQ(large.ReadString("S79999", "k", ""), "79999");
}

TEST(LanguageTexts, CarriesTheFourTextsByteForByte)
{
    for (const char* code : {"PL", "EN", "HU", "DE"}) {
        SCOPED_TRACE(code);
        std::string lower = code;
        for (char& ch : lower) ch = char(ch + 32);
        std::ifstream file(std::string(LMQ_LANG_TEXTS_DIR) + "/" + lower + ".ini", std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        const auto text = BuiltinLanguageText(lower);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(std::string(*text), bytes.str());
    }
    for (const char* bad : {"", "E", "ENG", "../EN", "EN ", "T1"}) EXPECT_FALSE(BuiltinLanguageText(bad)) << bad;
}

TEST(Messages, LoadFromMsgSectionWithEscapesInEitherCase)
{
    Msg.fill("before");
    IniStore ini;
    ini.SetText("[MSG]\n0=a\\r\\nb\\T|\\R\\n\n28=OK\n");
    LoadMessages(ini);
    EXPECT_EQ(Msg[0], "a\r\nb\t|\r\n");
    EXPECT_EQ(Msg[28], "OK");
    EXPECT_EQ(Msg[1], "ERROR");
    ini.SetText("[Other]\n0=x\n");
    LoadMessages(ini);
    EXPECT_EQ(Msg[28], "OK");
    Msg.fill(std::string());
}

}  // namespace
