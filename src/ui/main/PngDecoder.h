#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

// PNG pictures through libpng: the about window's logo and background.
class PngDecoder {
public:
    // A null image when the bytes are not a PNG libpng can read.
    static QImage Decode(const QByteArray& png);
    // The PNG held by a file or a Qt resource (":/ID_LOGO").
    static QImage Load(const QString& path);
};
