// Renders one of the program's windows with a sample configuration into a
// PNG file without a display, in English unless another language code is given:
//   LumarqPylonScreenshot <file.png> [PL|EN|HU|DE] [window] [--palette light|dark|contrast] [--send PORT]
// The windows: main (the default), about, brightness, connections, fonts, log.
// The palette is the application's (the style's own unless one is named).
// With --send it then sends the configuration by the main window's Send
// button to the pylon at 127.0.0.1:PORT (the emulator, for its face), without
// the pause before the log closes, and fails unless the pylon took it.
// Nothing is read from or written to the user's store. The README's pictures
// and the manuals' pictures are made with it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QApplication>
#include <QWidget>

#include "app/SampleConfiguration.h"
#include "comm/PylonLink.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/MemoryRegStore.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/common/Palettes.h"
#include "ui/dialogs/BrightnessDialog.h"
#include "ui/dialogs/ConnectionDialog.h"
#include "ui/dialogs/FontDialog.h"
#include "ui/lang/QtText.h"
#include "ui/lang/DataModule.h"
#include "ui/main/AboutWindow.h"
#include "ui/main/MainWindow.h"
#include "ui/main/PylonApplication.h"
#include "ui/main/FlatButton.h"

namespace {

const char* const Windows[] = {"main", "about", "brightness", "connections", "fonts", "log"};

// The log of a Send to the first two pylons of the sample: the first
// answers, the second cannot be reached.
void SampleLog(ProgressLogWindow& log)
{
    log.ShowLog();  // as a command does: shown, then cleared
    for (const char* ip : {"192.168.0.11", "192.168.0.12"}) {
        log.AppendLine(Msg[MsgConnecting] + ip + "...");
        if (ip[11] == '2') {
            log.AppendLine(Msg[MsgConnectionError]);
            break;
        }
        log.AppendLine(Msg[MsgSending]);
        log.AppendLine(Msg[MsgOk]);
    }
}

bool Known(const char* name)
{
    for (const char* w : Windows)
        if (std::strcmp(w, name) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* picture = nullptr;
    const char* language = "EN";
    const char* which = "main";
    long sendPort = -1;
    const char* paletteName = nullptr;
    bool paletteKnown = true;
    PaletteKind palette = PaletteKind::Light;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--send") == 0 && i + 1 < argc) {
            char* end = nullptr;
            sendPort = std::strtol(argv[++i], &end, 10);
            if (*end || sendPort < 1 || sendPort > 65535) sendPort = 0;
        } else if (std::strcmp(argv[i], "--palette") == 0 && i + 1 < argc) {
            paletteName = argv[++i];
            paletteKnown = PaletteKindFromName(QString::fromLocal8Bit(paletteName), palette);
        } else if (++positional == 1) {
            picture = argv[i];
        } else if (positional == 2) {
            language = argv[i];
        } else if (positional == 3) {
            which = argv[i];
        }
    }
    if (positional < 1 || positional > 3 || sendPort == 0 || !Known(which) || !paletteKnown) {
        std::fprintf(stderr,
                     "usage: %s <file.png> [language code] [main|about|brightness|connections|fonts|log] "
                     "[--palette light|dark|contrast] [--send PORT]\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    MemoryRegStore store;
    PylonConfig model(&store);
    sample::Fill(model);
    model.NetSettings = {{"North pylon", "192.168.0.11", 2101, true},
                         {"South pylon", "192.168.0.12", 2101, true},
                         {"Car wash", "192.168.0.20", 2101, false}};
    FileHeader file;
    PylonLink link("0.0.0.0", 2101);

    PylonApplication app(argc, argv);
    if (paletteName) QApplication::setPalette(MakePalette(palette));
    DataModule dm(&store);
    dm.Settings.LangId = language;
    MainWindow window(model, file, link, dm);
    ProgressLogWindow info(dm);
    window.SetInfoWindow(&info);

    std::unique_ptr<QWidget> dialog;
    QWidget* shown = &window;
    if (std::strcmp(which, "about") == 0) {
        dialog = std::make_unique<AboutWindow>(&window, MsgText(MsgProducer), QApplication::applicationDisplayName(),
                                               window.VersionText, MsgText(MsgAllRights), QString());
    } else if (std::strcmp(which, "brightness") == 0) {
        dialog = std::make_unique<BrightnessDialog>(&window, dm.Changer, model);
    } else if (std::strcmp(which, "connections") == 0) {
        dialog = std::make_unique<ConnectionDialog>(&window, dm.Changer, model, [] {
            return std::vector<std::string>{"ttyS0", "ttyUSB0"};
        });
    } else if (std::strcmp(which, "fonts") == 0) {
        dialog = std::make_unique<FontDialog>(&window, dm.Changer, model);
    } else if (std::strcmp(which, "log") == 0) {
        SampleLog(info);
        shown = &info;
    }
    if (dialog) shown = dialog.get();
    shown->show();
    QCoreApplication::processEvents();
    // No text cursor blinking in a name box on the picture.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QCoreApplication::processEvents();
    if (!shown->grab().save(QString::fromLocal8Bit(picture), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", picture);
        return 1;
    }
    if (sendPort < 0) return 0;

    // Send as the operator does: a network pylon in the list, then the button.
    model.UseCOM = false;
    model.NetSettings = {{"Emulator", "127.0.0.1", int(sendPort), true}};
    RecordingWaiter noPause;
    window.SetWaiter(&noPause);
    window.SendButton->click();
    const QStringList log = info.Lines();
    if (log.isEmpty() || log.last() != QStringLiteral("OK")) {
        std::fprintf(stderr, "sending to 127.0.0.1:%ld failed: %s\n", sendPort,
                     qUtf8Printable(log.join(QStringLiteral(" / "))));
        return 1;
    }
    return 0;
}
