#include "ui/common/DataFolders.h"

#include <algorithm>

#include <dirent.h>
#include <strings.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool ReadableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

}  // namespace

QString FileInAnyCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (ReadableFile(dir.filePath(name))) return dir.filePath(name);
    // The names as the system has them; only those equal to `name` but for
    // the letter case are looked at any further.
    const QByteArray wanted = QFile::encodeName(name);
    QStringList spellings;
    if (DIR* d = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(d))
            if (::strcasecmp(entry->d_name, wanted.constData()) == 0)
                spellings.append(QFile::decodeName(entry->d_name));
        ::closedir(d);
    }
    std::sort(spellings.begin(), spellings.end());
    for (const QString& spelling : spellings)
        if (ReadableFile(dir.filePath(spelling))) return dir.filePath(spelling);
    return {};
}
