#include "comm/K_CONNECTION.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/RegFileStore.h"
#include "model/UserStore.h"
#include "ui/main/StoreWarning.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TLumarqApplication.h"

int main(int argc, char** argv)
{
    // The objects that live as long as the process, before any window: the
    // model (defaults, then the last session), the file header and the link.
    // The model is released last and writes the session then.
    // A store file that cannot be used is moved aside or left alone before
    // anything is written; the operator hears of it once the language is known.
    StoreTrouble trouble;
    auto store = UserStore::Open(&trouble);
    K_PYLON model(store.get());
    K_FILE file;
    K_CONNECTION link("0.0.0.0", 2101);

    TLumarqApplication app(argc, argv);
    try {
        TDM dm(store.get());  // released after the windows: stores the language code
        TFLumarqPylon mainWindow(model, file, link, dm);  // loads the interface language
        TellStoreTrouble(trouble);
        TFInfoWindow infoWindow(dm);  // hidden until a pylon command shows it
        infoWindow.setAttribute(Qt::WA_QuitOnClose, false);
        mainWindow.SetInfoWindow(&infoWindow);
        mainWindow.show();
        app.exec();
    } catch (...) {
        TLumarqApplication::ShowException(std::current_exception());
    }
    return 0;
}
