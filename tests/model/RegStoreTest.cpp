#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "model/RegFileStore.h"
#include "model/RegText.h"
#include "support/TempDir.h"

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(RegStore, KeysIgnoreCaseAndTrailingBackslashAndKeepCreationOrder)
{
    MemoryRegStore s;
    ASSERT_TRUE(s.CreateKey("Software\\A\\Zeta\\"));
    ASSERT_TRUE(s.CreateKey("software\\a\\Alpha"));
    ASSERT_TRUE(s.CreateKey("Software\\A\\10"));
    ASSERT_TRUE(s.CreateKey("Software\\A\\2"));
    EXPECT_EQ(s.SubKeyNames("SOFTWARE\\A\\"), (std::vector<std::string>{"Zeta", "Alpha", "10", "2"}));
    EXPECT_TRUE(s.WriteValue("Software\\A\\Zeta", "V", RegValue::DWord(7)));
    EXPECT_EQ(s.ReadValue("software\\a\\zeta\\", "v")->dword, 7u);
    EXPECT_FALSE(s.WriteValue("Software\\Missing", "V", RegValue::DWord(1)));
    EXPECT_TRUE(s.DeleteKey("Software\\A\\Zeta"));
    EXPECT_FALSE(s.KeyExists("Software\\A\\Zeta"));
    EXPECT_EQ(s.SubKeyNames("Software\\A"), (std::vector<std::string>{"Alpha", "10", "2"}));
}

TEST(RegStore, TextRoundTripKeepsTypesAndEscapes)
{
    MemoryRegStore s;
    const std::string k = "Software\\Lumarq Technology\\Pylon2\\Session";
    s.CreateKey(k);
    s.WriteValue(k, "Conf", RegValue::Binary({0x64, 0x64, 0x50, 0x16, 0, 0, 0}));
    s.WriteValue(k, "ComSpeed", RegValue::DWord(7));
    s.WriteValue(k, "ComName", RegValue::String("tty\\\"USB\" żółć"));
    s.CreateKey(k + "\\NetSettings");
    const std::string text = RegText::Serialize(s);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Session]\n"
                        "\"Conf\"=hex:64,64,50,16,00,00,00\n\"ComSpeed\"=dword:00000007\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.rfind("REGEDIT4\n\n", 0), 0u);

    MemoryRegStore back;
    ASSERT_TRUE(RegText::Parse(text, back));
    EXPECT_EQ(back.ReadValue(k, "ComName")->text, "tty\\\"USB\" żółć");
    EXPECT_EQ(back.ReadValue(k, "Conf")->bytes.size(), 7u);
    EXPECT_EQ(back.ReadValue(k, "ComSpeed")->type, RegValue::Type::DWord);
    EXPECT_TRUE(back.KeyExists(k + "\\NetSettings"));
    EXPECT_EQ(RegText::Serialize(back), text);
}

TEST(RegStore, HandWrittenFilesAreRead)
{
    const std::string text =
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n; station 12\r\n"
        "[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Config\\]\r\n"
        "\"LangId\" = \"DE\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\X]\r\n"
        "\"Bytes\"=hex:01,02,\\\r\n  03,04\r\n";
    MemoryRegStore s;
    ASSERT_TRUE(RegText::Parse(text, s));
    EXPECT_EQ(s.ReadValue("Software\\Lumarq Technology\\Pylon2\\Config", "LangId")->text, "DE");
    EXPECT_EQ(s.ReadValue("Software\\X", "Bytes")->bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(RegStore, DamagedTextReadsAsEmpty)
{
    const char* bad[] = {
        "",
        "not a registry file",
        "REGEDIT4\n\"orphan\"=\"value\"\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:1,2\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A\n",
    };
    for (const char* t : bad) {
        MemoryRegStore s;
        EXPECT_FALSE(RegText::Parse(t, s)) << t;
        EXPECT_TRUE(s.SubKeyNames("").empty()) << t;
    }
}

TEST(RegFileStore, CommitReplacesTheFileAndAMissingFolderIsCreated)
{
    TempDir dir;
    const std::string path = dir.File("Lumarq Technology/Pylon2/user.reg");
    {
        RegFileStore s(path);
        EXPECT_FALSE(s.LoadedFromFile());
        s.CreateKey("Software\\K");
        s.WriteValue("Software\\K", "A", RegValue::String("1"));
        ASSERT_TRUE(s.Commit());
    }
    EXPECT_EQ(ReadText(path), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\K]\n\"A\"=\"1\"\n\n");
    RegFileStore again(path);
    EXPECT_TRUE(again.LoadedFromFile());
    EXPECT_EQ(again.ReadValue("Software\\K", "A")->text, "1");
}

TEST(RegFileStore, DamagedFileStartsEmptyAndIsReplacedOnCommit)
{
    TempDir dir;
    const std::string path = dir.File("user.reg");
    { std::ofstream(path) << "REGEDIT4\n[broken\n"; }
    RegFileStore s(path);
    EXPECT_FALSE(s.LoadedFromFile());
    EXPECT_TRUE(s.SubKeyNames("").empty());
    s.CreateKey("Software\\K");
    ASSERT_TRUE(s.Commit());
    EXPECT_EQ(ReadText(path).rfind("REGEDIT4", 0), 0u);
}
