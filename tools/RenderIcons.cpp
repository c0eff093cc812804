// Renders the program's scalable icon into the PNG sizes of the icon theme:
//   render_icons [--check] <icon.svg> <hicolor folder>
// writes <hicolor folder>/NxN/apps/<name of the svg>.png for N = 48, 128, 256.
// The PNGs are committed beside the SVG; run this when the SVG changes.
// --check writes nothing and fails when a PNG is missing or differs from the
// SVG's rendering (the test icons_match_svg).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// Equal within rounding: no channel of any pixel more than 2 apart.
bool Matches(const QImage& rendered, const QString& file)
{
    const QImage stored = QImage(file).convertToFormat(QImage::Format_ARGB32);
    if (stored.size() != rendered.size()) return false;
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x) {
            const QRgb a = stored.pixel(x, y), b = rendered.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                std::abs(qBlue(a) - qBlue(b)) > 2 || std::abs(qAlpha(a) - qAlpha(b)) > 2)
                return false;
        }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc == 4 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 3 && !check) {
        std::fprintf(stderr, "usage: %s [--check] <icon.svg> <hicolor folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    if (check) ++argv;
    const QString svg = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName() + QStringLiteral(".png");
    for (int size : {48, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/%1x%1/apps").arg(size);
        const QString file = folder + QLatin1Char('/') + name;
        if (check) {
            if (Matches(image, file)) continue;
            std::fprintf(stderr, "%s does not match the SVG; run render_icons\n", qPrintable(file));
            return 1;
        }
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
