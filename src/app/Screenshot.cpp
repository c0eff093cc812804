// Renders one of the program's windows with a sample configuration into a
// PNG file without a display, in English unless another language code is given:
//   LumarqPylonScreenshot <file.png> [PL|EN|HU|DE] [window]
// The windows: main (the default), about, brightness, connections, fonts, log.
// Nothing is read from or written to the user's store. The README's picture
// and the manuals' pictures are made with it.
#include <cstdio>
#include <cstring>
#include <memory>

#include <QApplication>
#include <QWidget>

#include "comm/K_CONNECTION.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/MemoryRegStore.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/dialogs/TFLumarqConfiguration.h"
#include "ui/dialogs/TFLumarqNetworkSettings.h"
#include "ui/dialogs/TfPylonFontSetting.h"
#include "ui/lang/TDM.h"
#include "ui/main/TFAbout.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TLumarqApplication.h"

namespace {

const char* const Windows[] = {"main", "about", "brightness", "connections", "fonts", "log"};

void Line(K_PYLON& m, int L, const char* name, const char* digits, int point, bool zerosOff)
{
    K_PRICE& line = m.Prices[L];
    line.Name = Cp1250::FromUtf8(name);
    for (int k = 0; k < 6; ++k) line.Price[k] = uint8_t(digits[k] - '0');
    line.Conf.DecimalPoint = uint8_t(point);
    line.Conf.ZerosOff = zerosOff ? 1 : 0;
}

void Sample(K_PYLON& model)
{
    Line(model, 0, "Pb95", "000649", 2, true);
    Line(model, 1, "Pb98", "000719", 2, true);
    Line(model, 2, "ON", "000659", 2, true);
    Line(model, 3, "LPG", "000309", 2, true);
    Line(model, 4, "ON TIR", "000000", 2, false);
    model.Prices[4].Conf.PriceDash = 1;
    Line(model, 5, "Car wash", "001500", 2, true);
    model.Prices[5].Conf.PriceOff = 1;
    Line(model, 6, "EUR", "004321", 4, false);
    model.NetSettings = {{"North pylon", "192.168.0.11", 2101, true}, {"South pylon", "192.168.0.12", 2101, true},
                         {"Car wash", "192.168.0.20", 2101, false}};
}

// The log of a Send to the first two pylons of the sample: the first
// answers, the second cannot be reached.
void SampleLog(TFInfoWindow& log)
{
    log.ShowLog();  // as a command does: shown, then cleared
    for (const char* ip : {"192.168.0.11", "192.168.0.12"}) {
        log.AppendLine(Msg[MsgConnecting] + QLatin1String(ip) + QStringLiteral("..."));
        if (ip[11] == '2') {
            log.AppendLine(Msg[MsgConnectionError]);
            break;
        }
        log.AppendLine(Msg[MsgSending]);
        log.AppendLine(Msg[MsgOk]);
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
    const char* which = argc > 3 ? argv[3] : "main";
    if (argc < 2 || !Known(which)) {
        std::fprintf(stderr, "usage: %s <file.png> [language code] [main|about|brightness|connections|fonts|log]\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    MemoryRegStore store;
    K_PYLON model(&store);
    Sample(model);
    K_FILE file;
    K_CONNECTION link("0.0.0.0", 2101);

    TLumarqApplication app(argc, argv);
    TDM dm(&store);
    dm.Settings.LangId = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("EN");
    TFLumarqPylon window(model, file, link, dm);
    TFInfoWindow info(dm);
    window.SetInfoWindow(&info);

    std::unique_ptr<QWidget> dialog;
    QWidget* shown = &window;
    if (std::strcmp(which, "about") == 0) {
        dialog = std::make_unique<TFAbout>(&window, Msg[MsgProducer], QApplication::applicationDisplayName(),
                                           window.VersionText, Msg[MsgAllRights], QString());
    } else if (std::strcmp(which, "brightness") == 0) {
        dialog = std::make_unique<TFLumarqConfiguration>(&window, dm.LanguageChanger, model);
    } else if (std::strcmp(which, "connections") == 0) {
        dialog = std::make_unique<TFLumarqNetworkSettings>(
            &window, dm.LanguageChanger, model,
            [] { return std::vector<std::string>{"ttyS0", "ttyUSB0"}; });
    } else if (std::strcmp(which, "fonts") == 0) {
        dialog = std::make_unique<TfPylonFontSetting>(&window, dm.LanguageChanger, model);
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
    const bool saved = shown->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (!saved) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
