// Decodes the PNG pictures the main window shows at start into a C++ source
// of ready pixels, so that the program inflates nothing before its window
// is drawn. Run by the build:
//   pack_pictures <out.cpp> <name>=<file.png>...
// Each picture becomes 32-bit words in the formats a QPixmap made from the
// file holds on a 32-bit screen: premultiplied ARGB where some pixel is not
// opaque, RGB32 where every pixel is, converted by Qt itself.
#include <cstdio>

#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>

namespace {

struct Packed {
    QString name;
    QString symbol;
    QImage image;
};

bool AnyTransparency(const QImage& image)
{
    if (!image.hasAlphaChannel()) return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255) return true;
    }
    return false;
}

// A C++ name for a picture: letters and digits kept, everything else '_'.
QString Symbol(const QString& name, int index)
{
    QString s = QStringLiteral("picture%1_").arg(index);
    for (const QChar c : name) s += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <out.cpp> <name>=<file.png>...\n", argv[0]);
        return 2;
    }
    QList<Packed> pictures;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            std::fprintf(stderr, "pack_pictures: %s is not name=file\n", argv[i]);
            return 2;
        }
        QImage image(arg.mid(eq + 1), "PNG");
        if (image.isNull()) {
            std::fprintf(stderr, "pack_pictures: cannot read %s\n", qPrintable(arg.mid(eq + 1)));
            return 1;
        }
        image =
            image.convertToFormat(AnyTransparency(image) ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        pictures.append({arg.left(eq), Symbol(arg.left(eq), int(pictures.size())), image});
    }

    QString text;
    QTextStream out(&text);
    out << "// Made by pack_pictures from the assets' PNG files; do not edit.\n"
           "#include \"ui/main/PackedPictures.h\"\n\n"
           "#include <cstdint>\n\n"
           "namespace {\n\n";
    for (const Packed& p : pictures) {
        out << "alignas(16) const std::uint32_t " << p.symbol << "[] = {";
        for (int y = 0; y < p.image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(p.image.constScanLine(y));
            for (int x = 0; x < p.image.width(); ++x) {
                if ((y * p.image.width() + x) % 8 == 0) out << "\n   ";
                out << " 0x" << QString::number(line[x], 16).rightJustified(8, QLatin1Char('0')) << "u,";
            }
        }
        out << "\n};\n\n";
    }
    out << "}  // namespace\n\n"
           "extern const PackedPicture PackedPictureTable[] = {\n";
    for (const Packed& p : pictures) {
        out << "    {\"" << p.name << "\", " << p.image.width() << ", " << p.image.height() << ", "
            << (p.image.format() == QImage::Format_RGB32 ? "false" : "true") << ", " << p.symbol << "},\n";
    }
    out << "};\n"
           "extern const int PackedPictureCount = "
        << pictures.size() << ";\n";
    out.flush();

    const QByteArray bytes = text.toUtf8();
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "pack_pictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
