#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

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

// UTF-16LE with a byte-order mark, as the Windows registry editor exports.
std::string Utf16(const std::string& utf8)
{
    std::string out = "\xFF\xFE";
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC0) c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
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
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n\r\n; station 12\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Config\\]\r\n"
                             "\"LangId\" = \"DE\"\r\n"
                             "[HKEY_CURRENT_USER\\Software\\X]\r\n"
                             "\"Bytes\"=hex:01,02,\\\r\n  03,04\r\n";
    MemoryRegStore s;
    ASSERT_TRUE(RegText::Parse(text, s));
    EXPECT_EQ(s.ReadValue("Software\\Lumarq Technology\\Pylon2\\Config", "LangId")->text, "DE");
    EXPECT_EQ(s.ReadValue("Software\\X", "Bytes")->bytes, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(RegStore, OnlyATextThatIsNoRegistryExportIsRefused)
{
    for (const char* t : {"", "not a registry file", "; comment\n[HKEY_CURRENT_USER\\A]\n", "REGEDIT5\n"}) {
        MemoryRegStore s;
        RegLayout layout;
        EXPECT_FALSE(RegText::Parse(t, s, &layout)) << t;
        EXPECT_TRUE(s.SubKeyNames("").empty()) << t;
    }
}

// Each hand-written or exported form: every good value is read, the text
// writes back byte for byte while nothing changes, and after a change the
// lines the reader does not understand are still there.
TEST(RegStore, HandWrittenFormsKeepGoodValuesAndUnknownLines)
{
    const std::string cfg = "[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Config]";
    const std::string ses = "[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Session]";
    const struct {
        const char* what;
        std::string text;
        bool utf16;
        std::vector<std::string> kept;  // lines that must survive a change
        std::string comName;            // the good value after them
    } cases[] = {
        {"comments",
         "; station 12\nREGEDIT4\n\n; pre-configured\n" + cfg + "\n; German\n\"LangId\"=\"DE\"\n\n" + ses +
             "\n\"ComName\"=\"ttyS0\"\n",
         false,
         {"; station 12", "; pre-configured", "; German"},
         "ttyS0"},
        {"unknown types",
         "REGEDIT4\n" + cfg + "\n\"LangId\"=\"DE\"\n\"Path\"=hex(2):25,00,54,00,\\\n  00,00\n" + ses +
             "\n\"Multi\"=hex(7):41,00,00,00,00,00\n\"Q\"=hex(b):01,00,00,00,00,00,00,00\n"
             "\"ComName\"=\"ttyS1\"\n\"Gone\"=-\n",
         false,
         {"\"Path\"=hex(2):25,00,54,00,\\\n  00,00", "\"Multi\"=hex(7):41,00,00,00,00,00",
          "\"Q\"=hex(b):01,00,00,00,00,00,00,00", "\"Gone\"=-"},
         "ttyS1"},
        {"Windows export",
         "Windows Registry Editor Version 5.00\r\n\r\n" + cfg + "\r\n\"LangId\"=\"DE\"\r\n\r\n" + ses +
             "\r\n\"ComName\"=\"żółw\"\r\n\"X\"=hex(2):41,00,00,00\r\n\r\n",
         true,
         {"\"X\"=hex(2):41,00,00,00"},
         "żółw"},
        {"broken lines",
         "REGEDIT4\r\n" + cfg +
             "\r\n\"LangId\"=\"DE\"\r\n\"v\"=dword:123456789\r\nrubbish\r\n"
             "[HKEY_CURRENT_USER\\Broken\r\n\"w\"=\"in the broken section\"\r\n" +
             ses + "\r\n\"b\"=hex:1,2\r\n\"ComName\"=\"ttyS2\"\r\n\"s\"=\"unterminated\r\n",
         false,
         {"\"v\"=dword:123456789", "rubbish", "[HKEY_CURRENT_USER\\Broken", "\"w\"=\"in the broken section\"",
          "\"b\"=hex:1,2", "\"s\"=\"unterminated"},
         "ttyS2"},
        {"other hives",
         "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\X]\n\"a\"=\"1\"\n[-HKEY_CURRENT_USER\\Old]\n" + cfg +
             "\n\"LangId\"=\"DE\"\n" + ses + "\n\"ComName\"=\"ttyS3\"\n",
         false,
         {"[HKEY_LOCAL_MACHINE\\Software\\X]", "\"a\"=\"1\"", "[-HKEY_CURRENT_USER\\Old]"},
         "ttyS3"},
    };
    const std::string config = "Software\\Lumarq Technology\\Pylon2\\Config";
    const std::string session = "Software\\Lumarq Technology\\Pylon2\\Session";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = c.utf16 ? Utf16(c.text) : c.text;
        MemoryRegStore s;
        RegLayout layout;
        ASSERT_TRUE(RegText::Parse(file, s, &layout));
        EXPECT_EQ(s.ReadValue(config, "LangId"), RegValue::String("DE"));
        EXPECT_EQ(s.ReadValue(session, "ComName"), RegValue::String(c.comName));
        EXPECT_EQ(RegText::Serialize(s, &layout), file);

        s.WriteValue(config, "LangId", RegValue::String("PL"));
        s.WriteValue(session, "ComSpeed", RegValue::DWord(7));
        s.DeleteValue(session, "ComName");
        s.CreateKey(session + "\\Prices");
        s.WriteValue(session + "\\Prices", "0.Price", RegValue::Binary({1, 2}));
        const std::string out = RegText::Serialize(s, &layout);
        if (c.utf16) EXPECT_EQ(out.substr(0, 2), "\xFF\xFE");
        MemoryRegStore back;
        RegLayout backLayout;
        ASSERT_TRUE(RegText::Parse(out, back, &backLayout));
        EXPECT_EQ(backLayout.crlf, layout.crlf);
        EXPECT_EQ(back.ReadValue(config, "LangId"), RegValue::String("PL"));
        EXPECT_EQ(back.ReadValue(session, "ComSpeed"), RegValue::DWord(7));
        EXPECT_FALSE(back.ReadValue(session, "ComName"));
        EXPECT_EQ(back.ReadValue(session + "\\Prices", "0.Price"), RegValue::Binary({1, 2}));
        std::vector<std::string> texts;
        for (const auto& line : backLayout.lines) texts.push_back(line.text);
        for (const auto& line : c.kept) EXPECT_NE(std::find(texts.begin(), texts.end(), line), texts.end()) << line;
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

TEST(RegFileStore, DamagedFileIsMovedAsideBeforeTheEmptyStoreIsCommitted)
{
    TempDir dir;
    const std::string path = dir.File("user.reg");
    {
        std::ofstream(path) << "<settings lang=\"DE\"/>\n";
    }
    RegFileStore s(path);
    EXPECT_FALSE(s.LoadedFromFile());
    EXPECT_TRUE(s.SubKeyNames("").empty());
    ASSERT_EQ(s.Trouble().kind, StoreTrouble::Kind::Damaged);
    EXPECT_EQ(s.Trouble().aside.rfind(path + ".damaged-", 0), 0u);
    EXPECT_EQ(ReadText(s.Trouble().aside), "<settings lang=\"DE\"/>\n");
    s.CreateKey("Software\\K");
    ASSERT_TRUE(s.Commit());
    EXPECT_EQ(ReadText(path).rfind("REGEDIT4", 0), 0u);
    EXPECT_EQ(RegFileStore(path).Trouble().kind, StoreTrouble::Kind::None);
}

// What is at the store's name decides what the store does with it.
TEST(RegFileStore, WhatIsNotARegistryFileIsNeverWrittenOver)
{
    enum class Make { Empty, TooLarge, Fifo, Folder };
    const struct {
        const char* what;
        Make make;
        StoreTrouble::Kind kind;
        bool commits;
    } cases[] = {
        {"empty file", Make::Empty, StoreTrouble::Kind::None, true},
        {"too large", Make::TooLarge, StoreTrouble::Kind::TooLarge, true},
        {"FIFO", Make::Fifo, StoreTrouble::Kind::Unreadable, false},
        {"folder", Make::Folder, StoreTrouble::Kind::Unreadable, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.File("user.reg");
        if (c.make == Make::Empty) std::ofstream{path};
        if (c.make == Make::TooLarge) {  // sparse: costs no disk
            std::ofstream{path} << "REGEDIT4\n";
            std::filesystem::resize_file(path, RegFileStore::MaxFileSize + 1);
        }
        if (c.make == Make::Fifo) ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        if (c.make == Make::Folder) std::filesystem::create_directory(path);

        const auto start = std::chrono::steady_clock::now();
        RegFileStore s(path);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
        EXPECT_EQ(s.Trouble().kind, c.kind);
        if (c.kind == StoreTrouble::Kind::TooLarge)
            EXPECT_EQ(std::filesystem::file_size(s.Trouble().aside), RegFileStore::MaxFileSize + 1);
        s.CreateKey("Software\\K");
        s.WriteValue("Software\\K", "A", RegValue::DWord(1));
        EXPECT_EQ(s.Commit(), c.commits);
        const auto type = std::filesystem::symlink_status(path).type();
        EXPECT_EQ(type, c.make == Make::Fifo     ? std::filesystem::file_type::fifo
                        : c.make == Make::Folder ? std::filesystem::file_type::directory
                                                 : std::filesystem::file_type::regular);
        if (c.commits) EXPECT_EQ(RegFileStore(path).ReadValue("Software\\K", "A"), RegValue::DWord(1));
    }
}

// Two programs on one file: the one that commits last keeps what the other
// wrote and lays only its own changes over it.
TEST(RegFileStore, CommitKeepsWhatAnotherProgramWroteMeanwhile)
{
    TempDir dir;
    const std::string path = dir.File("user.reg");
    {
        RegFileStore seed(path);
        seed.CreateKey("Software\\S\\NetSettings\\1");
        seed.WriteValue("Software\\S", "Lang", RegValue::String("EN"));
        seed.WriteValue("Software\\S", "Old", RegValue::DWord(1));
        seed.WriteValue("Software\\S\\NetSettings\\1", "IP", RegValue::String("10.0.0.1"));
        ASSERT_TRUE(seed.Commit());
    }
    RegFileStore first(path), second(path);
    first.WriteValue("Software\\S", "Lang", RegValue::String("DE"));
    first.CreateKey("Software\\S\\NetSettings\\2");
    first.WriteValue("Software\\S\\NetSettings\\2", "IP", RegValue::String("10.0.0.2"));
    ASSERT_TRUE(first.Commit());
    second.WriteValue("Software\\S", "Speed", RegValue::DWord(7));
    second.DeleteValue("Software\\S", "Old");
    // Rewriting a list as it was is no change.
    second.DeleteKey("Software\\S\\NetSettings\\1");
    second.CreateKey("Software\\S\\NetSettings\\1");
    second.WriteValue("Software\\S\\NetSettings\\1", "IP", RegValue::String("10.0.0.1"));
    ASSERT_TRUE(second.Commit());

    RegFileStore after(path);
    EXPECT_EQ(after.ReadValue("Software\\S", "Lang"), RegValue::String("DE"));
    EXPECT_EQ(after.ReadValue("Software\\S", "Speed"), RegValue::DWord(7));
    EXPECT_FALSE(after.ReadValue("Software\\S", "Old"));
    EXPECT_EQ(after.SubKeyNames("Software\\S\\NetSettings"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(second.ReadValue("Software\\S", "Lang"), RegValue::String("DE"));
}
