#include "ui/main/PngDecoder.h"

#include <png.h>

#include <QFile>

QImage PngDecoder::Decode(const QByteArray& png)
{
    if (png.isEmpty()) return {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.constData(), size_t(png.size()))) {
        png_image_free(&image);
        return {};
    }
    // Keeps the alpha channel whatever the file holds (palette, grey, 16 bits).
    image.format = PNG_FORMAT_RGBA;
    QImage out(int(image.width), int(image.height), QImage::Format_RGBA8888);
    if (out.isNull() || out.bytesPerLine() < qsizetype(PNG_IMAGE_ROW_STRIDE(image))) {
        png_image_free(&image);
        return {};
    }
    // For 8-bit components the row stride counts bytes.
    if (!png_image_finish_read(&image, nullptr, out.bits(), png_int_32(out.bytesPerLine()), nullptr)) {
        png_image_free(&image);
        return {};
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage PngDecoder::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return Decode(file.readAll());
}
