#include "ui/main/PackedPictures.h"

#include <cstring>

// Written by pack_pictures.
extern const PackedPicture PackedPictureTable[];
extern const int PackedPictureCount;

namespace {

const PackedPicture* Find(const char* name)
{
    for (int i = 0; i < PackedPictureCount; ++i)
        if (std::strcmp(PackedPictureTable[i].name, name) == 0) return &PackedPictureTable[i];
    return nullptr;
}

}  // namespace

QImage PackedPictures::Image(const char* name)
{
    const PackedPicture* p = Find(name);
    if (!p) return {};
    return QImage(reinterpret_cast<const uchar*>(p->pixels), p->width, p->height, qsizetype(p->width) * 4,
                  p->alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

QPixmap PackedPictures::Pixmap(const char* name)
{
    // On a 32-bit screen the pixmap keeps the image's pixels where they are.
    return QPixmap::fromImage(Image(name));
}

QStringList PackedPictures::Names()
{
    QStringList names;
    for (int i = 0; i < PackedPictureCount; ++i) names.append(QLatin1String(PackedPictureTable[i].name));
    return names;
}
