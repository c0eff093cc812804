#include "ui/main/PylonApplication.h"

#include <stdexcept>

#include <QIcon>

#include "ui/common/LazyIcon.h"
#include "ui/common/LogCategories.h"
#include "ui/common/Palettes.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/main/PackedPictures.h"

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
    // Made when the window system first asks for it (the offscreen platform
    // never does), from the icon theme's pictures packed at build time.
    return LazyIcon([] {
        QIcon icon;
        for (const char* name : {"icon-48", "icon-128", "icon-256"}) icon.addPixmap(PackedPictures::Pixmap(name));
        return icon;
    });
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
