// The language menu and the manual command.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

#include "ui/lang/MessageBoxes.h"
#include "lang/Msg.h"
#include "support/TempDir.h"
#include "tests/ui/main/WindowRig.h"
#include "ui/main/Shell.h"
#include "support/Child.h"

namespace {

TEST(LanguageMenu, OffersTheFourLanguagesWithTheirGlyphs)
{
    WindowRig rig("PL");
    const QList<QAction*> items = Child<QMenu>(*rig.window, "mLanguage")->actions();
    ASSERT_EQ(items.size(), 4);
    const char* names[] = {"Polski", "English", "Magyar", "Deutsch"};
    const int glyphs[] = {0, 1, 2, 12};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(items[n]->objectName(), "MENULANG" + QString::number(n));
        EXPECT_EQ(items[n]->text(), names[n]);
        EXPECT_EQ(items[n]->icon().cacheKey(), rig.dm->Glyphs[glyphs[n]].cacheKey());
        EXPECT_FALSE(items[n]->isChecked());
        EXPECT_TRUE(items[n]->shortcut().isEmpty());
        EXPECT_EQ(rig.dm->Changer.Languages[n].MenuItem, items[n]);
    }
}

TEST(LanguageMenu, SwitchingTranslatesBothWindowsAndKeepsTheConfigurationsNames)
{
    WindowRig rig("PL", [](PylonConfig& m) { m.Prices[0].Name = "Pb95"; });
    MainWindow& w = *rig.window;
    ASSERT_EQ(Child<QAbstractButton>(w, "SBOpenFile")->toolTip(), QString::fromUtf8("Otwórz (Ctrl+O)"));
    ASSERT_EQ(rig.info->windowTitle(), "Informacje");
    ASSERT_EQ(w.FlagBoxes[0][PriceLineEditor::PriceOff]->text(), "Wygaszenie");
    rig.model.Prices[4].Price = {0, 0, 0, 0, 0, 1};  // the picture is not redrawn by a switch

    Child<QMenu>(w, "mLanguage")->actions()[1]->trigger();  // English

    EXPECT_EQ(rig.dm->Settings.LangId, "EN");
    EXPECT_EQ(Msg[25], "Open file...");
    EXPECT_EQ(Child<QAbstractButton>(w, "SBOpenFile")->toolTip(), "Open (Ctrl+O)");
    EXPECT_EQ(Child<QMenu>(w, "Plik1")->title(), "File");
    EXPECT_EQ(w.FlagBoxes[0][PriceLineEditor::PriceOff]->text(), "Turn off");
    EXPECT_EQ(rig.info->windowTitle(), "Information");
    EXPECT_EQ(Child<QMenu>(w, "mLanguage")->title(), "Language");
    EXPECT_EQ(w.NameBoxes[0]->currentText(), "Pb95");
    EXPECT_EQ(w.NameBoxes[1]->currentText(), "Nazwa 2") << "the model's name, not \"Name 2\"";
    EXPECT_EQ(rig.model.Prices[1].Name, "Nazwa 2");
    EXPECT_EQ(ScreenCells(w, 4), "0000.00");

    Child<QMenu>(w, "mLanguage")->actions()[2]->trigger();  // Hungarian
    EXPECT_EQ(Child<QAbstractButton>(w, "SBOpenFile")->toolTip(), QString::fromUtf8("Megnyitás (Ctrl+O)"));
    EXPECT_EQ(rig.info->windowTitle(), QString::fromUtf8("Információ"));
    EXPECT_EQ(w.NameBoxes[0]->currentText(), "Pb95");
}

TEST(LanguageMenu, ClicksFromElsewhereAreIgnored)
{
    WindowRig rig("EN");
    QAction stranger;
    rig.window->LanguageChosen(&stranger);
    rig.window->LanguageChosen(nullptr);
    EXPECT_EQ(rig.dm->Settings.LangId, "EN");
}

TEST(LanguageMenu, AStartWithoutAStoredLanguageChoosesOne)
{
    WindowRig rig("");
    EXPECT_TRUE(QStringList({"PL", "EN", "HU", "DE"}).contains(QString::fromStdString(rig.dm->Settings.LangId)));
    EXPECT_FALSE(Msg[16].empty());
}

// ---- the manual

struct HelpRig {
    TempDir dir;
    std::vector<MessageBoxCall> boxes;
    QStringList opened;
    int shellResult = Shell::Opened;
    MessageBoxSeam boxSeam{[this](const MessageBoxCall& c) { boxes.push_back(c); }};
    ShellSeam shellSeam{[this](const QString& target) {
        opened << target;
        return shellResult;
    }};

    void Manual(const std::string& code) { std::ofstream(dir.File("Lumarq Pylon " + code + ".pdf")) << "%PDF"; }
    QString Path(const std::string& code) const
    {
        return QString::fromStdString(dir.File("Lumarq Pylon " + code + ".pdf"));
    }
};

TEST(Manual, OpensTheManualOfTheLanguageElseTheEnglishOne)
{
    struct Case {
        const char* language;
        std::vector<std::string> present;
        const char* expected;
    };
    const Case cases[] = {{"PL", {"PL", "EN"}, "PL"}, {"HU", {"EN"}, "EN"}, {"DE", {"DE"}, "DE"}};
    for (const Case& c : cases) {
        WindowRig rig(c.language);
        HelpRig help;
        for (const auto& code : c.present) help.Manual(code);
        rig.window->ProgramDir = QString::fromStdString(help.dir.Path());
        rig.Key(Qt::Key_F1);
        EXPECT_EQ(help.opened, QStringList({help.Path(c.expected)})) << c.language;
        EXPECT_TRUE(help.boxes.empty()) << c.language;
    }
}

TEST(Manual, MissingOrUnopenableManualsAreReported)
{
    {
        WindowRig rig("HU");
        HelpRig help;
        rig.window->ProgramDir = QString::fromStdString(help.dir.Path());
        Child<QAction>(*rig.window, "Pomoc2")->trigger();
        EXPECT_TRUE(help.opened.isEmpty());
        ASSERT_EQ(help.boxes.size(), 2u);
        EXPECT_EQ(help.boxes[0].kind, MessageBoxCall::Kind::Error);
        EXPECT_EQ(help.boxes[0].text, "ERROR");
        EXPECT_EQ(help.boxes[1].kind, MessageBoxCall::Kind::Plain);
        EXPECT_EQ(help.boxes[1].text, "PDF - ERROR 0");
    }
    {
        WindowRig rig("EN");
        HelpRig help;
        help.Manual("EN");
        help.shellResult = Shell::NoAssociation;
        rig.window->ProgramDir = QString::fromStdString(help.dir.Path());
        rig.window->HelpClicked();
        ASSERT_EQ(help.boxes.size(), 1u);
        EXPECT_EQ(help.boxes[0].kind, MessageBoxCall::Kind::Plain);
        EXPECT_EQ(help.boxes[0].text, "PDF - ERROR 31");
    }
}

// A program in <prefix>/bin finds its manuals beside itself first, then in
// <prefix>/share/lumarq-pylon; the language's own manual wins over the English
// one wherever it lies. With LMQ_INSTALLED_PROGRAM_DIR set (the package test),
// the installed manuals are looked up from the installed program's folder.
TEST(Manual, AnInstalledProgramFindsTheManualsInItsShareFolder)
{
    struct Case {
        const char* language;
        std::vector<std::string> besideProgram, inShare;
        const char* expected;  // "bin/..." or "share/..."
    };
    const Case cases[] = {
        {"PL", {}, {"PL", "EN"}, "share/PL"},   {"HU", {}, {"EN"}, "share/EN"},
        {"DE", {"EN"}, {"DE"}, "share/DE"},     {"EN", {"EN"}, {"EN"}, "bin/EN"},
        {"PL", {"PL"}, {"PL", "EN"}, "bin/PL"},
    };
    for (const Case& c : cases) {
        TempDir prefix;
        const std::filesystem::path bin = prefix.Path() + "/bin";
        const std::filesystem::path share = bin / LMQ_DATA_FROM_BIN;
        std::filesystem::create_directories(bin);
        std::filesystem::create_directories(share);
        auto manual = [](const std::filesystem::path& dir, const std::string& code) {
            return (dir / ("Lumarq Pylon " + code + ".pdf")).lexically_normal().string();
        };
        for (const auto& code : c.besideProgram) std::ofstream(manual(bin, code)) << "%PDF";
        for (const auto& code : c.inShare) std::ofstream(manual(share, code)) << "%PDF";
        WindowRig rig(c.language);
        HelpRig help;
        rig.window->ProgramDir = QString::fromStdString(bin.string());
        rig.Key(Qt::Key_F1);
        const std::string where = c.expected;
        const std::string expected =
            manual(where.rfind("bin", 0) == 0 ? bin : share, where.substr(where.find('/') + 1));
        EXPECT_EQ(help.opened, QStringList({QString::fromStdString(expected)})) << c.language << " " << where;
        EXPECT_TRUE(help.boxes.empty());
    }

    const char* installed = std::getenv("LMQ_INSTALLED_PROGRAM_DIR");
    if (!installed) return;
    for (const char* code : {"PL", "EN", "HU", "DE"}) {
        WindowRig rig(code);
        HelpRig help;
        rig.window->ProgramDir = QString::fromLocal8Bit(installed);
        rig.window->HelpClicked();
        const auto share = (std::filesystem::path(installed) / LMQ_DATA_FROM_BIN).lexically_normal();
        const std::string expected = (share / (std::string("Lumarq Pylon ") + code + ".pdf")).string();
        EXPECT_EQ(help.opened, QStringList({QString::fromStdString(expected)})) << code;
        EXPECT_TRUE(help.boxes.empty()) << code;
    }
}

}  // namespace
