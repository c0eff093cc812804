#include "ui/main/TLumarqApplication.h"

#include <stdexcept>

#include "ui/lang/MessageBoxes.h"

TLumarqApplication::TLumarqApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The title of the program; message boxes and the about window use it.
    setApplicationName(QStringLiteral("Lumarq Pylon"));
}

bool TLumarqApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
    }
    return false;
}

void TLumarqApplication::ShowException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}
