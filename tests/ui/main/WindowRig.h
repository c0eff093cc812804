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

#include "comm/K_CONNECTION.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/MemoryRegStore.h"
#include "ui/common/FileDialogs.h"
#include "ui/main/PylonPictures.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TImage.h"
#include "ui/main/TSpeedButton.h"

// Readable test messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join(", ").toStdString() << '}'; }

class RecordingWindow : public TFLumarqPylon {
public:
    using TFLumarqPylon::TFLumarqPylon;
    QStringList calls;

    void SBSendConfigurationClick() override { calls << "SBSendConfigurationClick"; }
    void SBDownloadClick() override { calls << "SBDownloadClick"; }
    void SBConfigurationClick() override { calls << "SBConfigurationClick"; }
    void SBNetworkSettingsClick() override { calls << "SBNetworkSettingsClick"; }
    void sbFontsClick() override { calls << "sbFontsClick"; }
    void Ustawieniaczcionek1Click() override { calls << "Ustawieniaczcionek1Click"; }
    void Opcjeserwisowe1Click(int tag) override { calls << QStringLiteral("Opcjeserwisowe1Click %1").arg(tag); }
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
    K_PYLON model{&store};
    K_FILE file;
    K_CONNECTION link{"0.0.0.0", 2101};
    std::unique_ptr<TDM> dm;
    std::unique_ptr<RecordingWindow> window;
    std::unique_ptr<TFInfoWindow> info;
    FakeFileDialogs dialogs;

    explicit WindowRig(const QString& language = QStringLiteral("EN"),
                       const std::function<void(K_PYLON&)>& setup = {})
    {
        if (setup) setup(model);
        dm = std::make_unique<TDM>(&store);
        dm->Settings.LangId = language;
        window = std::make_unique<RecordingWindow>(model, file, link, *dm);
        info = std::make_unique<TFInfoWindow>(*dm);
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
inline int ShownPicture(const TImage* image, int first = 0, int last = 13)
{
    const QImage shown = image->Canvas().toImage().convertToFormat(QImage::Format_RGB32);
    for (int i = first; i <= last; ++i) {
        const QImage picture = PylonPictures::DrawDigit(i)
                                   .copy(0, 0, shown.width(), shown.height())
                                   .convertToFormat(QImage::Format_RGB32);
        if (picture == shown) return i;
    }
    return -1;
}

inline int ShownIndicator(const TImage* image)
{
    const QImage shown = image->Canvas().toImage().convertToFormat(QImage::Format_RGB32);
    for (int i = 0; i < 2; ++i)
        if (PylonPictures::DrawButtDot(i).convertToFormat(QImage::Format_RGB32) == shown) return i;
    return -1;
}

// A line as the operator reads it on the screen: digits, "_" dark, "-" dash,
// "?" unknown, "." where a point image is lit.
inline std::string ScreenCells(const TFLumarqPylon& w, int L)
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
inline std::string ScreenArrows(const TFLumarqPylon& w, int L)
{
    std::string out;
    for (int k = 0; k < 6; ++k) {
        const auto& pair = w.DigitButtons[6 * L + k];
        const bool up = pair.first->isEnabled(), down = pair.second->isEnabled();
        out += up && down ? '+' : !up && !down ? '-' : '?';
    }
    return out;
}
