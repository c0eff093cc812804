#include <QApplication>

#include "model/K_FILE.h"
#include "model/K_PYLON.h"
#include "model/UserStore.h"

int main(int argc, char** argv)
{
    auto store = UserStore::Open();
    K_PYLON model(store.get());
    K_FILE file;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumarq Pylon"));
    return 0;
}
