#pragma once
// The main window as the program makes it, on an in-memory store, with the
// commands of other windows recorded instead of run.
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <QApplication>
#include <QImage>
#include <QStringList>
#include <QTest>

#include "comm/PylonLink.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "ui/common/FileDialogs.h"
#include "ui/main/PylonPictures.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PictureBox.h"
#include "ui/main/FlatButton.h"

// Readable test messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join(", ").toStdString() << '}'; }

class RecordingWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    QStringList calls;

    void SendClicked() override { calls << "SBSendConfigurationClick"; }
    void DownloadClicked() override { calls << "SBDownloadClick"; }
    void BrightnessClicked() override { calls << "SBConfigurationClick"; }
    void ConnectionsClicked() override { calls << "SBNetworkSettingsClick"; }
    void FontsClicked() override { calls << "sbFontsClick"; }
    void FontsItemClicked() override { calls << "Ustawieniaczcionek1Click"; }
    void ServiceOptionsChosen(int tag) override { calls << QStringLiteral("Opcjeserwisowe1Click %1").arg(tag); }
};

// Answers the file dialogs and keeps what they were asked.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<QString> openAnswer, saveAnswer;
    QList<FileDialogRequest> openRequests, saveRequests;

    std::optional<QString> AskOpen(QWidget*, const FileDialogRequest& r) override
    {
        openRequests << r;
        return openAnswer;
    }
    std::optional<QString> AskSave(QWidget*, const FileDialogRequest& r) override
    {
        saveRequests << r;
        return saveAnswer;
    }
};

struct WindowRig {
    MemoryRegStore store;
    PylonConfig model{&store};
    FileHeader file;
    PylonLink link{"0.0.0.0", 2101};
    std::unique_ptr<DataModule> dm;
    std::unique_ptr<RecordingWindow> window;
    std::unique_ptr<ProgressLogWindow> info;
    FakeFileDialogs dialogs;

    explicit WindowRig(const QString& language = QStringLiteral("EN"),
                       const std::function<void(PylonConfig&)>& setup = {})
    {
        if (setup) setup(model);
        dm = std::make_unique<DataModule>(&store);
        dm->Settings.LangId = language.toStdString();
        window = std::make_unique<RecordingWindow>(model, file, link, *dm);
        info = std::make_unique<ProgressLogWindow>(*dm);
        window->SetInfoWindow(info.get());
        window->SetFileDialogs(&dialogs);
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowActive(window.get(), 1000);
    }
    ~WindowRig()
    {
        window.reset();
        info.reset();
        dm.reset();
    }

    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
    }
};

// Which of `candidates` an image shows (by its pixels), -1 for none.
inline int ShownPicture(const PictureBox* image, int first = 0, int last = 13)
{
    const QImage shown = image->Canvas().toImage().convertToFormat(QImage::Format_RGB32);
    for (int i = first; i <= last; ++i) {
        const QImage picture =
            PylonPictures::DrawDigit(i).copy(0, 0, shown.width(), shown.height()).convertToFormat(QImage::Format_RGB32);
        if (picture == shown) return i;
    }
    return -1;
}

inline int ShownIndicator(const PictureBox* image)
{
    const QImage shown = image->Canvas().toImage().convertToFormat(QImage::Format_RGB32);
    for (int i = 0; i < 2; ++i)
        if (PylonPictures::DrawButtDot(i).convertToFormat(QImage::Format_RGB32) == shown) return i;
    return -1;
}

// A line as the operator reads it on the screen: digits, "_" dark, "-" dash,
// "?" unknown, "." where a point image is lit.
inline std::string ScreenCells(const MainWindow& w, int L)
{
    std::string out;
    for (int k = 0; k < 6; ++k) {
        const int p = ShownPicture(w.DigitImages[6 * L + k]);
        out += p >= 0 && p <= 9 ? char('0' + p) : p == 10 ? '_' : p == 13 ? '-' : '?';
        if (k < 5) {
            const int dot = ShownPicture(w.PointImages[5 * L + k], 11, 12);
            if (dot == 11) out += '.';
            else if (dot != 12) out += '?';
        }
    }
    return out;
}

// "+" where both arrows of a digit take clicks, "-" where neither does.
inline std::string ScreenArrows(const MainWindow& w, int L)
{
    std::string out;
    for (int k = 0; k < 6; ++k) {
        const auto& pair = w.DigitButtons[6 * L + k];
        const bool up = pair.first->isEnabled(), down = pair.second->isEnabled();
        out += up && down ? '+' : !up && !down ? '-' : '?';
    }
    return out;
}
