#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "QStringPrint.h"

#include "lang/Msg.h"
#include "ui/common/DataFolders.h"
#include "ui/lang/LanguageChanger.h"
#include "support/TempDir.h"

namespace {

class LoadLanguageTest : public ::testing::Test {
protected:
    void SetUp() override { Msg.fill(std::string()); }
    void TearDown() override { Msg.fill(std::string()); }
};

void WriteFile(const std::string& path, const QByteArray& bytes)
{
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST_F(LoadLanguageTest, EachBuiltInLanguageLoadsItsTextAndMessages)
{
    LanguageChanger changer(QString{});
    const struct {
        const char* code;
        const char* name;
        const char* msg13;
        const char* msg38;
    } cases[] = {
        {"PL", "Polski", "* Błąd pamięci", "Polski Producent Wyświetlaczy LED"},
        {"EN", "English", "* Memory error", "Polish manufacturer of LED displays"},
        {"HU", "Magyar", "* Memória hiba", "LENGYEL LED KIJELZŐ GYÁRTÓ"},
        {"DE", "Deutsch", "* Memory Fehler", "Polnischer Hersteller von LED-ANZEIGEN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(changer.LoadLanguage(QString::fromLatin1(c.code)));
        EXPECT_EQ(changer.Texts.ReadString("_SETTINGS_", "Language", {}), std::string(c.name));
        EXPECT_EQ(changer.Texts.ReadString("_settings_", "lngcode", {}), std::string(c.code));
        EXPECT_EQ(Msg[13], std::string(c.msg13));
        EXPECT_EQ(Msg[38], std::string(c.msg38));
        EXPECT_EQ(Msg[27], "Pylon1.lmqpyl");
    }
}

TEST_F(LoadLanguageTest, CodeLookupIgnoresCaseButTakesNoPaths)
{
    LanguageChanger changer(QString{});
    EXPECT_TRUE(LanguageChanger::LanguageText("en").has_value());
    EXPECT_TRUE(changer.LoadLanguage("hu"));
    EXPECT_EQ(Msg[28], "OK");
    for (const char* bad : {"", "XX", "E", "ENG", "../EN", "EN/..", "/lang/ID_LANGINI_EN", "*"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(LanguageChanger::LanguageText(QString::fromLatin1(bad)).has_value());
    }
}

TEST_F(LoadLanguageTest, UnknownCodeChangesNothing)
{
    LanguageChanger changer(QString{});
    EXPECT_FALSE(changer.LoadLanguage("FR"));
    EXPECT_EQ(changer.Texts.SectionCount(), 0);
    for (const std::string& m : Msg) EXPECT_TRUE(m.empty());

    ASSERT_TRUE(changer.LoadLanguage("DE"));
    EXPECT_FALSE(changer.LoadLanguage("XX"));
    EXPECT_EQ(changer.Texts.ReadString("_SETTINGS_", "LNGCode", {}), "DE");
    EXPECT_EQ(Msg[36], "Falsches passwort");
}

TEST_F(LoadLanguageTest, IniBesideTheProgramIsTheInitialTextAndIsNeverWritten)
{
    TempDir dir;
    const std::string path = dir.File("LumarqPylon.INI");
    const QByteArray content = "\xEF\xBB\xBF[FLumarqPylon]\r\nCFLumarqPylon=Pylon z pliku\r\n[MSG]\r\n0=z pliku\r\n";
    WriteFile(path, content);
    {
        LanguageChanger changer(QString::fromStdString(path));
        EXPECT_EQ(changer.Texts.ReadString("flumarqpylon", "cflumarqpylon", {}), "Pylon z pliku");
        // The initial text does not fill the messages; only a loaded language does.
        EXPECT_TRUE(Msg[0].empty());
        ASSERT_TRUE(changer.LoadLanguage("EN"));
        EXPECT_EQ(changer.Texts.ReadString("FLumarqPylon", "CFLumarqPylon", {}), "Lumarq Pylon");
    }
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), content);

    LanguageChanger without(QString::fromStdString(dir.File("missing.INI")));
    EXPECT_EQ(without.Texts.SectionCount(), 0);
}

TEST_F(LoadLanguageTest, IniThatIsNoRegularFileGivesNoTextsAtOnce)
{
    TempDir dir;
    const std::string fifo = dir.File("LumarqPylon.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null"), dir.Path()}) {
        const auto start = std::chrono::steady_clock::now();
        LanguageChanger changer(QString::fromStdString(path));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100)) << path;
        EXPECT_EQ(changer.Texts.SectionCount(), 0) << path;
    }
}

TEST_F(LoadLanguageTest, IniBesideTheProgramIsFoundInAnyLetterCase)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    EXPECT_EQ(LanguageChanger::IniPathIn(folder), folder + "/LumarqPylon.INI");
    WriteFile(dir.File("lumarqpylon.ini"), "[MSG]\n0=x\n");
    EXPECT_EQ(LanguageChanger::IniPathIn(folder), folder + "/lumarqpylon.ini");
    LanguageChanger changer(LanguageChanger::IniPathIn(folder));
    EXPECT_EQ(changer.Texts.ReadString("MSG", "0", {}), "x");
    WriteFile(dir.File("LumarqPylon.INI"), "[MSG]\n0=y\n");
    EXPECT_EQ(LanguageChanger::IniPathIn(folder), folder + "/LumarqPylon.INI");
}

}  // namespace

namespace {

// ID_LANGINI_T1 and _T2 are extra texts compiled into this test only.
TEST_F(LoadLanguageTest, FileInAnyCaseTakesTheExactNameThenTheFirstRegularSpelling)
{
    struct Case {
        std::vector<std::string> files, folders, fifos;
        std::string found;  // empty: none
    };
    const Case cases[] = {
        {{}, {}, {}, ""},
        {{"other.ini", "LumarqPylon.INI.bak"}, {}, {}, ""},
        {{"lumarqpylon.ini"}, {}, {}, "lumarqpylon.ini"},
        {{"lumarqpylon.ini", "LumarqPylon.INI"}, {}, {}, "LumarqPylon.INI"},
        {{"lumarqpylon.ini", "LUMARQPYLON.ini"}, {}, {}, "LUMARQPYLON.ini"},
        {{"lumarqpylon.ini"}, {"LUMARQPYLON.INI"}, {}, "lumarqpylon.ini"},
        {{"lumarqpylon.ini"}, {}, {"LUMARQPYLON.INI"}, "lumarqpylon.ini"},
        {{}, {"lumarqpylon.ini"}, {"LumarqPylon.ini"}, ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::string& f : c.files) WriteFile(dir.File(f), "x");
        for (const std::string& f : c.folders) ::mkdir(dir.File(f).c_str(), 0700);
        for (const std::string& f : c.fifos) ::mkfifo(dir.File(f).c_str(), 0600);
        const QString folder = QString::fromStdString(dir.Path());
        const QString expected = c.found.empty() ? QString() : folder + "/" + QString::fromStdString(c.found);
        EXPECT_EQ(FileInAnyCase(folder, "LumarqPylon.INI"), expected) << c.found;
    }
    EXPECT_EQ(FileInAnyCase("/no/such/folder", "LumarqPylon.INI"), QString());
}

TEST_F(LoadLanguageTest, MessagesTakeEscapesAndDefaultToError)
{
    LanguageChanger changer(QString{});
    ASSERT_TRUE(changer.LoadLanguage("T1"));
    EXPECT_EQ(Msg[0], "first\r\nsecond");
    EXPECT_EQ(Msg[1], "tab\there");
    EXPECT_EQ(Msg[2], "upper\r\nand\t.");
    EXPECT_EQ(Msg[3], "twice\r\n\r\nx\t\ty");
    EXPECT_EQ(Msg[4], "mixed\r\n|\r\n");
    EXPECT_EQ(Msg[5], "a=b=c");
    for (int n = 6; n < MsgCount; ++n) EXPECT_EQ(Msg[n], "ERROR") << n;
    // Form texts keep the escapes as they stand.
    EXPECT_EQ(changer.Texts.ReadString("FTestPylon", "CLabel1", {}), "a\\r\\nb\\tc");
}

TEST_F(LoadLanguageTest, TextWithoutMessagesLeavesTheTable)
{
    LanguageChanger changer(QString{});
    ASSERT_TRUE(changer.LoadLanguage("EN"));
    ASSERT_TRUE(changer.LoadLanguage("T2"));
    EXPECT_EQ(changer.Texts.ReadString("FTestPylon", "CLabel1", {}), "no messages here");
    EXPECT_FALSE(changer.Texts.SectionExists("MSG"));
    EXPECT_EQ(Msg[16], "File open error");
}

}  // namespace
