#include "ui/main/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

// On a Linux desktop the "open" verb is the desktop's URL handler (xdg-open
// behind QDesktopServices).
int Shell::OpenOnDesktop(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    QUrl url;
    if (target.startsWith(QLatin1Char('/'))) {
        if (!QFileInfo::exists(target)) return FileNotFound;
        url = QUrl::fromLocalFile(target);
    } else if (scheme.match(target).hasMatch()) {
        url = QUrl(target);
    } else if (QFileInfo::exists(target)) {
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    } else {
        url = QUrl::fromUserInput(target);  // "www.example.org" opens the site
    }
    if (!url.isValid()) return FileNotFound;
    return QDesktopServices::openUrl(url) ? Opened : NoAssociation;
}
