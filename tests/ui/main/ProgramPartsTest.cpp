// The version text, the documents folder, the screen's file dialogs and the
// desktop's "open".
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>

#include "support/TempDir.h"
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

}  // namespace
