// Open and Save through the main window's commands, with the file dialogs
// answered by the test.
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>

#include "ui/lang/MessageBoxes.h"
#include "model/PylonFile.h"
#include "support/TempDir.h"
#include "tests/ui/main/WindowRig.h"
#include "support/Child.h"

namespace {

struct Boxes {
    std::vector<MessageBoxCall> calls;
    MessageBoxSeam seam{[this](const MessageBoxCall& c) { calls.push_back(c); }};
    QStringList Texts() const
    {
        QStringList out;
        for (const auto& c : calls) out << c.text;
        return out;
    }
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

PylonConfig Sample()
{
    PylonConfig m;
    m.Prices[0].Price = {0, 0, 5, 9, 9, 0};
    m.Prices[0].Conf.ZerosOff = 1;
    m.Prices[0].Name = "LPG";
    m.Prices[3].Conf.PriceDash = 1;
    return m;
}

TEST(FileCommands, OpenAsksItsDialogAndShowsTheFile)
{
    TempDir dir;
    const std::string path = dir.File("station.lmqpyl");
    WriteBytes(path, PylonFile::Encode(Sample(), 3));

    WindowRig rig;
    Boxes boxes;
    rig.dialogs.openAnswer = Q(path);
    rig.Click(Child<QAbstractButton>(*rig.window, "SBOpenFile"));

    ASSERT_EQ(rig.dialogs.openRequests.size(), 1);
    const FileDialogRequest& r = rig.dialogs.openRequests[0];
    EXPECT_EQ(r.title, "Open file...");
    EXPECT_EQ(r.filters, QStringList({"Lumarq Pylon files (*.lmqpyl)"}));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.initialFolder, rig.window->DocumentsDir);
    EXPECT_EQ(r.defaultSuffix, "lmqpyl");
    EXPECT_TRUE(r.fileName.isEmpty());

    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(rig.model.Prices[0].Name, "LPG");
    EXPECT_EQ(ScreenCells(*rig.window, 0), "__59.90");
    EXPECT_EQ(ScreenCells(*rig.window, 3), "------");
    EXPECT_EQ(rig.window->NameBoxes[0]->currentText(), "LPG");
    EXPECT_EQ(rig.file.Length, 272);

    // The next open proposes the file chosen last.
    rig.dialogs.openAnswer.reset();
    rig.Click(Child<QAbstractButton>(*rig.window, "SBOpenFile"));
    EXPECT_EQ(rig.dialogs.openRequests[1].fileName, Q(path));
}

TEST(FileCommands, CancelledOpenStillRedrawsFromTheModel)
{
    WindowRig rig;
    Boxes boxes;
    rig.model.Prices[2].Price = {1, 2, 3, 4, 5, 6};  // changed behind the picture's back
    rig.Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(rig.dialogs.openRequests.size(), 1);
    EXPECT_EQ(ScreenCells(*rig.window, 2), "1234.56");
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(FileCommands, RefusedFilesAreReportedAndChangeNothing)
{
    TempDir dir;
    const std::vector<uint8_t> good = PylonFile::Encode(Sample(), 3);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* message;
    };
    auto changed = [&](size_t at, uint8_t value) {
        auto b = good;
        b[at] = value;
        return b;
    };
    auto truncated = good;
    truncated.pop_back();
    const Case cases[] = {
        {"maker", changed(0, 'X'), "Invalid file"},     {"product", changed(5, 'X'), "Invalid file Lumarq Pylon"},
        {"sav", changed(10, 'X'), "File format error"}, {"version", changed(13, 4), "File version incompatible"},
        {"length", truncated, "File length error"},     {"marker", changed(21, 0), "File closing error"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.what) + ".lmqpyl");
        WriteBytes(path, c.bytes);
        WindowRig rig;
        Boxes boxes;
        rig.model.Prices[1].Price = {0, 0, 0, 7, 7, 7};
        const PylonConfig before(rig.model);
        rig.dialogs.openAnswer = Q(path);
        rig.window->OpenClicked();
        ASSERT_EQ(boxes.calls.size(), 1u) << c.what;
        EXPECT_EQ(boxes.calls[0].text, c.message) << c.what;
        EXPECT_EQ(boxes.calls[0].kind, MessageBoxCall::Kind::Warning);
        EXPECT_EQ(boxes.calls[0].caption, "Lumarq Pylon");
        EXPECT_EQ(boxes.calls[0].style, MB_ICONEXCLAMATION | MB_TOPMOST);
        EXPECT_TRUE(rig.model.SameFields(before)) << c.what;
        // The picture is drawn again from the unchanged model.
        EXPECT_EQ(ScreenCells(*rig.window, 1), "0007.77") << c.what;
    }
    WindowRig rig;
    Boxes boxes;
    rig.dialogs.openAnswer = Q(dir.File("missing.lmqpyl"));
    rig.window->OpenClicked();
    EXPECT_EQ(boxes.Texts(), QStringList({"File open error"}));
}

TEST(FileCommands, SaveProposesTheDefaultNameEveryTimeAndWritesTheFile)
{
    TempDir dir;
    WindowRig rig;
    Boxes boxes;
    rig.model.Prices[6].Price = {0, 0, 4, 3, 2, 1};
    const std::string path = dir.File("first.lmqpyl");
    rig.dialogs.saveAnswer = Q(path);
    rig.Click(Child<QAbstractButton>(*rig.window, "SBSaveToFile"));
    rig.dialogs.saveAnswer.reset();
    rig.Key(Qt::Key_S, Qt::ControlModifier);

    ASSERT_EQ(rig.dialogs.saveRequests.size(), 2);
    for (const FileDialogRequest& r : rig.dialogs.saveRequests) {
        EXPECT_EQ(r.title, "Save file as...");
        EXPECT_EQ(r.fileName, "Pylon1.lmqpyl");
        EXPECT_EQ(r.filters, QStringList({"Lumarq Pylon files (*.lmqpyl)"}));
        EXPECT_EQ(r.initialFolder, rig.window->DocumentsDir);
        EXPECT_EQ(r.defaultSuffix, "lmqpyl");
        EXPECT_TRUE(r.confirmOverwrite);
    }
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(ReadBytes(path), PylonFile::Encode(rig.model, 3));
    EXPECT_EQ(rig.file.Length, 272);
}

TEST(FileCommands, SaveIntoAMissingFolderReportsTheOpenError)
{
    TempDir dir;
    WindowRig rig;
    Boxes boxes;
    rig.dialogs.saveAnswer = Q(dir.File("no such folder/x.lmqpyl"));
    rig.window->SaveClicked();
    EXPECT_EQ(boxes.Texts(), QStringList({"File open error"}));
}

TEST(FileCommands, NamesWithPolishLettersSaveAndOpenAgain)
{
    TempDir dir;
    const QString path = Q(dir.Path()) + QString::fromUtf8("/Cennik Łódź.lmqpyl");
    WindowRig rig;
    Boxes boxes;
    rig.model.Prices[0].Name = "Pb95";
    rig.dialogs.saveAnswer = path;
    rig.window->SaveClicked();
    EXPECT_TRUE(QFile::exists(path));

    rig.model.Prices[0].Name = "other";
    rig.dialogs.openAnswer = path;
    rig.window->OpenClicked();
    EXPECT_TRUE(boxes.calls.empty()) << boxes.Texts().join("; ").toStdString();
    EXPECT_EQ(rig.model.Prices[0].Name, "Pb95");
    EXPECT_EQ(rig.window->NameBoxes[0]->currentText(), "Pb95");
}

}  // namespace
