#pragma once
#include <cstdint>

#include <QImage>
#include <QPixmap>
#include <QStringList>

// The pictures of the main window's first look (the left column, the
// toolbar's glyphs, the program's icon), decoded from their PNG files when
// the program is built (assets/src/pack_pictures.cpp): 32-bit pixels ready
// for painting, nothing to inflate at start. The images refer to the
// program's read-only data; a change to one works on a copy.
struct PackedPicture {
    const char* name;  // the file's path below its folder, without ".png": "left-column", "glyphs/open"
    int width;
    int height;
    bool alpha;  // premultiplied ARGB32; otherwise RGB32
    const std::uint32_t* pixels;
};

namespace PackedPictures {
// A null image or pixmap for a name that was not packed.
QImage Image(const char* name);
QPixmap Pixmap(const char* name);
QStringList Names();
}  // namespace PackedPictures
