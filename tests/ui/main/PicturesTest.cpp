// The pictures packed when the program is built against the PNG files they
// come from, and icons whose pictures are made when first asked for.
#include <gtest/gtest.h>

#include <QPainter>

#include "ui/common/LazyIcon.h"
#include "ui/main/PackedPictures.h"
#include "ui/main/PylonApplication.h"

namespace {

// Every picture of the window's first look, and its file in the source tree.
struct Source {
    const char* name;
    const char* file;
};
const Source Sources[] = {
    {"left-column", "assets/left-column.png"},
    {"glyphs/open", "assets/glyphs/open.png"},
    {"glyphs/save", "assets/glyphs/save.png"},
    {"glyphs/network", "assets/glyphs/network.png"},
    {"glyphs/brightness", "assets/glyphs/brightness.png"},
    {"glyphs/fonts", "assets/glyphs/fonts.png"},
    {"glyphs/send", "assets/glyphs/send.png"},
    {"glyphs/download", "assets/glyphs/download.png"},
    {"icon-48", "dist/icons/hicolor/48x48/apps/com.lumarq.Pylon.png"},
    {"icon-128", "dist/icons/hicolor/128x128/apps/com.lumarq.Pylon.png"},
    {"icon-256", "dist/icons/hicolor/256x256/apps/com.lumarq.Pylon.png"},
};

QImage FromFile(const char* file)
{
    return QPixmap(QStringLiteral(LMQ_SOURCE_DIR "/") + QLatin1String(file)).toImage();
}

TEST(PackedPictures, EachIsItsFileAsAPixmapMadeFromTheFileHoldsIt)
{
    QStringList expected;
    for (const Source& s : Sources) {
        SCOPED_TRACE(s.name);
        expected << QLatin1String(s.name);
        const QImage file = FromFile(s.file);
        ASSERT_FALSE(file.isNull());
        const QImage packed = PackedPictures::Pixmap(s.name).toImage();
        EXPECT_EQ(packed.format(), file.format()) << "transparent where the file is, opaque where it is";
        EXPECT_EQ(packed.size(), file.size());
        EXPECT_TRUE(packed == file) << "pixel for pixel";
    }
    EXPECT_EQ(PackedPictures::Names(), expected) << "packed by the build: exactly these";
}

TEST(PackedPictures, LieInTheProgramsDataUntilChanged)
{
    const QImage a = PackedPictures::Image("left-column");
    const QImage b = PackedPictures::Image("left-column");
    EXPECT_EQ(a.constBits(), b.constBits()) << "no copy per use";
    QImage changed = a;
    changed.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_NE(changed.constBits(), a.constBits());
    EXPECT_EQ(PackedPictures::Image("left-column").pixel(0, 0), a.pixel(0, 0)) << "the packed pixels stay";
    EXPECT_TRUE(PackedPictures::Image("left-column.png").isNull());
    EXPECT_TRUE(PackedPictures::Pixmap("no such picture").isNull());
}

bool Same(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

TEST(LazyIcon, MakesItsPicturesOnceOnTheFirstQuestion)
{
    QImage red(16, 16, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    int made = 0;
    const QIcon icon = LazyIcon([&] {
        ++made;
        return QIcon(QPixmap::fromImage(red));
    });
    const QIcon copy = icon;
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(copy.cacheKey(), icon.cacheKey());
    EXPECT_EQ(made, 0) << "made, copied and set up without drawing";

    // Every way of asking gives the made icon's answer.
    using Ask = std::function<bool(const QIcon&)>;
    const std::pair<const char*, Ask> questions[] = {
        {"pixmap", [&](const QIcon& i) { return Same(i.pixmap(16, 16).toImage(), red); }},
        {"sizes", [](const QIcon& i) { return i.availableSizes() == QList<QSize>{QSize(16, 16)}; }},
        {"actual size", [](const QIcon& i) { return i.actualSize(QSize(32, 32)) == QSize(16, 16); }},
        {"paint",
         [](const QIcon& i) {
             QImage canvas(16, 16, QImage::Format_ARGB32_Premultiplied);
             canvas.fill(Qt::transparent);
             QPainter p(&canvas);
             i.paint(&p, canvas.rect());
             p.end();
             return canvas.pixel(8, 8) == qRgb(255, 0, 0);
         }},
    };
    for (const auto& [what, ask] : questions) EXPECT_TRUE(ask(copy)) << what;
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(Same(icon.pixmap(16, 16).toImage(), red));
    EXPECT_EQ(made, 1) << "the copies share what was made";
}

TEST(LazyIcon, TheProgramsIconHasTheThemesThreeSizes)
{
    const QIcon icon = PylonApplication::ProgramIcon();
    EXPECT_EQ(icon.availableSizes(), QList<QSize>({QSize(48, 48), QSize(128, 128), QSize(256, 256)}));
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const QString file = QStringLiteral("dist/icons/hicolor/%1x%1/apps/com.lumarq.Pylon.png").arg(size);
        EXPECT_TRUE(icon.pixmap(size, size).toImage() == FromFile(qPrintable(file)));
    }
}

}  // namespace
