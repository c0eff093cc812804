#include "ui/common/DataFolders.h"

#include <QDir>
#include <QFileInfo>

QString FileInAnyCase(const QString& folder, const QString& name)
{
    // Windows finds a file's name in any letter case itself.
    const QFileInfo info(QDir(folder).filePath(name));
    return info.isFile() && info.isReadable() ? info.filePath() : QString();
}
