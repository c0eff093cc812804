// Renders the main window with a sample configuration into a PNG file
// without a display, in English unless another language code is given:
//   LumarqPylonScreenshot docs/main-window.png [PL|EN|HU|DE] [--send PORT]
// With --send it then sends the configuration by the window's Send button to
// the pylon at 127.0.0.1:PORT (the emulator, for its face), without the
// pause before the log closes, and fails unless the pylon took it.
// Nothing is read from or written to the user's store.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QWidget>

#include "app/SampleConfiguration.h"
#include "comm/K_CONNECTION.h"
#include "comm/Waiter.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/MemoryRegStore.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TLumarqApplication.h"
#include "ui/main/TSpeedButton.h"

int main(int argc, char** argv)
{
    const char* picture = nullptr;
    const char* language = "EN";
    long sendPort = -1;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--send") == 0 && i + 1 < argc) {
            char* end = nullptr;
            sendPort = std::strtol(argv[++i], &end, 10);
            if (*end || sendPort < 1 || sendPort > 65535) sendPort = 0;
        } else if (++positional == 1) {
            picture = argv[i];
        } else if (positional == 2) {
            language = argv[i];
        }
    }
    if (positional < 1 || positional > 2 || sendPort == 0) {
        std::fprintf(stderr, "usage: %s <file.png> [language code] [--send PORT]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    MemoryRegStore store;
    K_PYLON model(&store);
    sample::Fill(model);
    K_FILE file;
    K_CONNECTION link("0.0.0.0", 2101);

    TLumarqApplication app(argc, argv);
    TDM dm(&store);
    dm.Settings.LangId = language;
    TFLumarqPylon window(model, file, link, dm);
    TFInfoWindow info(dm);
    window.SetInfoWindow(&info);
    window.show();
    QCoreApplication::processEvents();
    // No text cursor blinking in a name box on the picture.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(picture), "PNG");
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", picture);
        return 1;
    }
    if (sendPort < 0) return 0;

    // Send as the operator does: a network pylon in the list, then the button.
    model.UseCOM = false;
    model.NetSettings = {{"Emulator", "127.0.0.1", int(sendPort), true}};
    RecordingWaiter noPause;
    window.SetWaiter(&noPause);
    window.SBSendConfiguration->click();
    const QStringList log = info.Lines();
    if (log.isEmpty() || log.last() != QStringLiteral("OK")) {
        std::fprintf(stderr, "sending to 127.0.0.1:%ld failed: %s\n", sendPort,
                     qUtf8Printable(log.join(QStringLiteral(" / "))));
        return 1;
    }
    return 0;
}
