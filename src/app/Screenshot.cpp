// Renders the main window with a sample configuration into a PNG file
// without a display, in English unless another language code is given:
//   LumarqPylonScreenshot docs/main-window.png [PL|EN|HU|DE]
// Nothing is read from or written to the user's store.
#include <cstdio>

#include <QApplication>
#include <QWidget>

#include "comm/K_CONNECTION.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "model/Cp1250.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/MemoryRegStore.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TLumarqApplication.h"

namespace {

void Line(K_PYLON& m, int L, const char* name, const char* digits, int point, bool zerosOff)
{
    K_PRICE& line = m.Prices[L];
    line.Name = Cp1250::FromUtf8(name);
    for (int k = 0; k < 6; ++k) line.Price[k] = uint8_t(digits[k] - '0');
    line.Conf.DecimalPoint = uint8_t(point);
    line.Conf.ZerosOff = zerosOff ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png> [language code]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    MemoryRegStore store;
    K_PYLON model(&store);
    Line(model, 0, "Pb95", "000649", 2, true);
    Line(model, 1, "Pb98", "000719", 2, true);
    Line(model, 2, "ON", "000659", 2, true);
    Line(model, 3, "LPG", "000309", 2, true);
    Line(model, 4, "ON TIR", "000000", 2, false);
    model.Prices[4].Conf.PriceDash = 1;
    Line(model, 5, "Car wash", "001500", 2, true);
    model.Prices[5].Conf.PriceOff = 1;
    Line(model, 6, "EUR", "004321", 4, false);
    K_FILE file;
    K_CONNECTION link("0.0.0.0", 2101);

    TLumarqApplication app(argc, argv);
    TDM dm(&store);
    dm.Settings.LangId = argc > 2 ? std::string(argv[2]) : std::string("EN");
    TFLumarqPylon window(model, file, link, dm);
    TFInfoWindow info(dm);
    window.SetInfoWindow(&info);
    window.show();
    QCoreApplication::processEvents();
    // No text cursor blinking in a name box on the picture.
    if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
    QCoreApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    if (!saved) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
