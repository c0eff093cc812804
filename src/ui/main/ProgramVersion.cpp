#include "ui/main/ProgramVersion.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "model/Version.h"

QString ProgramVersion::Format(int major, int minor, int release)
{
    return QString::fromStdString(VersionTextFor(major, minor, release));
}

QString ProgramVersion::Text() { return QString::fromStdString(ProgramVersionText()); }

QString ProgramVersion::DocumentsDir(const QString& versionText)
{
    return DocumentsDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                        QCoreApplication::applicationDirPath(), versionText);
}

QString ProgramVersion::DocumentsDir(const QString& documentsLocation, const QString& programDir,
                                     const QString& versionText)
{
    if (documentsLocation.isEmpty()) {
        QString dir = programDir;
        if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
        return dir;
    }
    QString dir = documentsLocation;
    if (dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    return dir + QStringLiteral("/Lumarq Technology/KD4M_") + versionText + QLatin1Char('/');
}
