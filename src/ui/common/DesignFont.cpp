#include "ui/common/DesignFont.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace {

const QString Family = QStringLiteral("Tahoma");

// A face of that name among the system's and the program's fonts. Looked up
// in the list itself: hasFamily first lets fontconfig substitute the name,
// which costs more than the whole list and may answer with another family.
bool Installed() { return QFontDatabase::families().contains(Family, Qt::CaseInsensitive); }

bool LoadOnce()
{
    static const bool available = [] {
        if (Installed()) return true;
        const QStringList folders = {QStringLiteral("/usr/share/wine/fonts"),
                                     QStringLiteral("/usr/share/fonts/truetype/wine"),
                                     QStringLiteral("/usr/local/share/wine/fonts")};
        bool loaded = false;
        for (const QString& folder : folders)
            for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
                const QString path = QDir(folder).filePath(QLatin1String(file));
                if (QFileInfo::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) loaded = true;
            }
        return loaded && Installed();
    }();
    return available;
}

}  // namespace

bool DesignFontAvailable() { return LoadOnce(); }

QFont DesignFont(int pointSize)
{
    LoadOnce();
    QFont font(Family, pointSize);
    font.setFamilies({Family, QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial")});
    return font;
}
