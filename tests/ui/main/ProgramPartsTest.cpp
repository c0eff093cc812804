// The version text, the documents folder, the screen's file dialogs, the
// desktop's "open" and the log categories.
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>

#include <QLoggingCategory>

#include "lang/Msg.h"
#include "log/Log.h"
#include "model/RegFileStore.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/LanguageChanger.h"
#include "ui/main/StoreWarning.h"
#include "support/TempDir.h"
#include "ui/common/LogCategories.h"
#include "ui/main/ProgramVersion.h"
#include "ui/common/QtFileDialogs.h"
#include "ui/main/Shell.h"

namespace {

TEST(ProgramVersion, RunsMinorAndReleaseTogether)
{
    EXPECT_EQ(ProgramVersion::Format(2, 1, 7), "2.17");
    EXPECT_EQ(ProgramVersion::Format(1, 0, 12), "1.012");
    EXPECT_EQ(ProgramVersion::Format(10, 20, 0), "10.200");
    EXPECT_EQ(ProgramVersion::Text(), "2.17") << "the program is version 2.1.7.0";
}

TEST(ProgramVersion, DocumentsFolderIsTheVersionsFolderUnderTheUsersDocuments)
{
    EXPECT_EQ(ProgramVersion::DocumentsDir("/home/anna/Documents", "/opt/lumarq", "2.17"),
              "/home/anna/Documents/Lumarq Technology/KD4M_2.17/");
    EXPECT_EQ(ProgramVersion::DocumentsDir("/home/anna/Documents/", "/opt/lumarq", "2.17"),
              "/home/anna/Documents/Lumarq Technology/KD4M_2.17/");
    EXPECT_EQ(ProgramVersion::DocumentsDir("/home/anna/Documents", "/opt/lumarq", ""),
              "/home/anna/Documents/Lumarq Technology/KD4M_/");
    // Without a documents folder the dialogs start beside the program.
    EXPECT_EQ(ProgramVersion::DocumentsDir("", "/opt/lumarq", "2.17"), "/opt/lumarq/");
}

TEST(QtFileDialogs, DialogIsSetUpAsAsked)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    FileDialogRequest r;
    r.title = "Save file as...";
    r.filters = {"Lumarq Pylon files (*.lmqpyl)", "All (*)"};
    r.filterIndex = 1;
    r.initialFolder = folder;
    r.fileName = "Pylon1.lmqpyl";
    r.defaultSuffix = "lmqpyl";
    r.confirmOverwrite = true;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QtFileDialogs::Configure(dialog, r);
    EXPECT_EQ(dialog.windowTitle(), "Save file as...");
    EXPECT_EQ(dialog.nameFilters(), r.filters);
    EXPECT_EQ(dialog.selectedNameFilter(), "Lumarq Pylon files (*.lmqpyl)");
    EXPECT_EQ(dialog.defaultSuffix(), "lmqpyl");
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(folder).canonicalPath());

    // A whole path proposed (the last file opened) starts in that file's folder.
    TempDir other;
    QDir().mkpath(QString::fromStdString(other.Path()) + "/sub");
    r.fileName = QString::fromStdString(other.Path()) + "/sub/station.lmqpyl";
    r.confirmOverwrite = false;
    QFileDialog second;
    second.setOption(QFileDialog::DontUseNativeDialog);
    QtFileDialogs::Configure(second, r);
    EXPECT_EQ(QDir(second.directory()).canonicalPath(),
              QDir(QString::fromStdString(other.Path()) + "/sub").canonicalPath());
    EXPECT_TRUE(second.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(QtFileDialogs, AFolderNotMadeYetStartsInItsNearestParent)
{
    TempDir dir;
    const QString documents = QString::fromStdString(dir.Path());
    FileDialogRequest r;
    r.initialFolder = documents + "/Lumarq Technology/KD4M_2.17/";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QtFileDialogs::Configure(dialog, r);
    EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(documents).canonicalPath());
    EXPECT_FALSE(QDir(r.initialFolder).exists()) << "the folder is not made";
}

TEST(Shell, AMissingDocumentIsNotFoundAndNothingIsLaunched)
{
    EXPECT_EQ(Shell::OpenDocument("/no/such/folder/Lumarq Pylon EN.pdf"), Shell::FileNotFound);
}

struct Captured {
    QtMsgType type;
    QString category, text;
};
std::vector<Captured> captured;

TEST(LogCategories, TheCoresLinesReachTheirCategoryAsTheRulesAllow)
{
    struct Case {
        const char* rules;
        Log::Category category;
        Log::Level level;
        bool delivered;
        const char* name;
        QtMsgType type;
    };
    const Case cases[] = {
        {"", Log::Category::Comm, Log::Level::Info, true, "lumarq.comm", QtInfoMsg},
        {"", Log::Category::Store, Log::Level::Warning, true, "lumarq.store", QtWarningMsg},
        {"", Log::Category::File, Log::Level::Info, true, "lumarq.file", QtInfoMsg},
        {"", Log::Category::Comm, Log::Level::Debug, false, "", QtDebugMsg},  // bytes are off by default
        {"lumarq.comm.debug=true", Log::Category::Comm, Log::Level::Debug, true, "lumarq.comm", QtDebugMsg},
        {"lumarq.*=false", Log::Category::File, Log::Level::Warning, false, "", QtWarningMsg},
        {"lumarq.store=false", Log::Category::Comm, Log::Level::Info, true, "lumarq.comm", QtInfoMsg},
    };
    InstallQtLogSink();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            captured.push_back({type, QString::fromLatin1(context.category), text});
        });
    for (const Case& c : cases) {
        captured.clear();
        QLoggingCategory::setFilterRules(QString::fromLatin1(c.rules));
        EXPECT_EQ(Log::Enabled(c.category, c.level), c.delivered) << c.rules;
        Log::Write(c.category, c.level, "connected to 127.0.0.1 port 2101");
        ASSERT_EQ(captured.size(), c.delivered ? 1u : 0u) << c.rules;
        if (!c.delivered) continue;
        EXPECT_EQ(captured[0].category, c.name);
        EXPECT_EQ(captured[0].type, c.type);
        EXPECT_EQ(captured[0].text, "connected to 127.0.0.1 port 2101");
    }
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    Log::SetSink(nullptr);
}

// A store file that cannot be used is told once, in the interface language,
// with the name it was kept under; the next start has nothing to tell.
TEST(StoreWarning, ABrokenStoreIsToldOnceInTheInterfaceLanguage)
{
    LanguageChanger changer(QString{});
    const struct {
        const char* code;
        const char* word;
    } languages[] = {{"EN", "settings"}, {"PL", "ustawień"}, {"HU", "beállítások"}, {"DE", "Einstellungsdatei"}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.code);
        ASSERT_TRUE(changer.LoadLanguage(QString::fromLatin1(l.code)));
        TempDir dir;
        const std::string path = dir.File("user.reg");
        {
            std::ofstream(path) << "\xFF\xFE"
                                   "garbage";
        }
        std::vector<MessageBoxCall> boxes;
        MessageBoxSeam seam([&](const MessageBoxCall& c) { boxes.push_back(c); });
        for (int start = 0; start < 2; ++start) {
            RegFileStore store(path);
            TellStoreTrouble(store.Trouble());
            store.CreateKey("Software\\K");
            store.Commit();
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, MessageBoxCall::Kind::Warning);
        EXPECT_TRUE(boxes[0].text.contains(QString::fromStdString(path + ".damaged-"))) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(QString::fromUtf8(l.word))) << boxes[0].text.toStdString();
        EXPECT_FALSE(boxes[0].text.contains("%1"));
    }
    StoreTrouble big{StoreTrouble::Kind::TooLarge, "/x/user.reg", "/x/user.reg.damaged-1", ""};
    EXPECT_TRUE(StoreTroubleText(big).contains(" 8 MB")) << StoreTroubleText(big).toStdString();
    StoreTrouble fifo{StoreTrouble::Kind::Unreadable, "/x/user.reg", "", "not a regular file"};
    EXPECT_TRUE(StoreTroubleText(fifo).contains("/x/user.reg"));
    Msg.fill(std::string());
}

}  // namespace
