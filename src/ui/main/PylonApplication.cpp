#include "ui/main/PylonApplication.h"

#include <stdexcept>

#include <QIcon>

#include "ui/common/LogCategories.h"
#include "ui/common/Palettes.h"
#include "ui/lang/MessageBoxes.h"

PylonApplication::PylonApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The title of the program; message boxes and the about window use it.
    setApplicationName(QStringLiteral("Lumarq Pylon"));
    // The desktop entry's name: the task bar matches the windows to it.
    setDesktopFileName(QStringLiteral(LMQ_APP_ID));
    setWindowIcon(ProgramIcon());
    InstallQtLogSink();
    FollowDesktopScheme(*this);
}

QIcon PylonApplication::ProgramIcon()
{
    Q_INIT_RESOURCE(assets);
    QIcon icon;
    for (const char* size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/") + QLatin1String(size) + QStringLiteral(".png"));
    return icon;
}

bool PylonApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
    }
    return false;
}

void PylonApplication::ShowException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}
