// Draws the program's picture assets into the assets folder:
//   make_assets <assets folder>
// The pictures are committed; run this only to change them.
#include <cmath>
#include <functional>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QImage Canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) qFatal("cannot write %s", qPrintable(path));
}

// The maker's mark: a red rounded square with a white pylon carrying three lit lines.
QImage Logo()
{
    QImage image = Canvas(79, 79);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient red(0, 0, 0, 79);
    red.setColorAt(0, QColor(236, 44, 36));
    red.setColorAt(1, QColor(150, 12, 10));
    QPainterPath square;
    square.addRoundedRect(QRectF(2.5, 2.5, 74, 74), 16, 16);
    p.fillPath(square, red);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.5));
    p.drawPath(square);
    // The pylon: a white board on a post.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(22, 12, 35, 44), 4, 4);
    p.drawRect(QRectF(36, 56, 7, 12));
    p.drawRoundedRect(QRectF(28, 66, 23, 5), 2, 2);
    p.setBrush(QColor(20, 20, 24));
    for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(26, 16 + i * 13.3, 27, 10), 2, 2);
    p.setBrush(QColor(255, 40, 30));
    for (int i = 0; i < 3; ++i)
        for (int d = 0; d < 4; ++d) p.drawRect(QRectF(28.5 + d * 6.3, 19 + i * 13.3, 4.2, 4));
    return image;
}

QImage AboutBackground()
{
    QImage image(495, 272, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 250);
    sky.setColorAt(0, QColor(10, 28, 54));
    sky.setColorAt(0.55, QColor(22, 58, 100));
    sky.setColorAt(1, QColor(12, 34, 62));
    p.fillRect(QRect(0, 0, 495, 250), sky);
    // A glow behind the logo.
    QRadialGradient glow(247.5, 157, 150);
    glow.setColorAt(0, QColor(90, 150, 220, 120));
    glow.setColorAt(1, QColor(90, 150, 220, 0));
    p.fillRect(QRect(0, 0, 495, 250), glow);
    // The program's name band.
    QFont title(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255, 235));
    p.drawText(QRect(0, 18, 495, 44), Qt::AlignCenter, QStringLiteral("LUMARQ"));
    QFont sub(QStringLiteral("DejaVu Sans"), 9);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    p.setFont(sub);
    p.setPen(QColor(200, 215, 235));
    p.drawText(QRect(0, 60, 495, 18), Qt::AlignCenter, QStringLiteral("TECHNOLOGY"));
    p.setPen(QPen(QColor(230, 40, 30), 2));
    p.drawLine(QPointF(120, 84), QPointF(375, 84));
    // A light strip for the web address and the close button.
    QLinearGradient strip(0, 250, 0, 272);
    strip.setColorAt(0, QColor(236, 240, 246));
    strip.setColorAt(1, QColor(212, 220, 232));
    p.fillRect(QRect(0, 250, 495, 22), strip);
    p.setPen(QColor(120, 140, 170));
    p.drawLine(0, 250, 495, 250);
    p.setPen(QColor(40, 60, 90));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, 494, 271));
    return image;
}

QImage AboutClose()
{
    QImage image = Canvas(102, 29);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 29);
    face.setColorAt(0, QColor(238, 72, 60));
    face.setColorAt(1, QColor(170, 20, 14));
    p.setPen(QPen(QColor(110, 10, 8), 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(1.5, 2.5, 99, 24), 7, 7);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(44, 9), QPointF(57, 20));
    p.drawLine(QPointF(57, 9), QPointF(44, 20));
    return image;
}

QImage LeftColumn()
{
    QImage image(70, 576, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient column(0, 0, 70, 0);
    column.setColorAt(0, QColor(40, 66, 98));
    column.setColorAt(0.7, QColor(28, 48, 74));
    column.setColorAt(1, QColor(16, 28, 46));
    p.fillRect(image.rect(), column);
    QLinearGradient shade(0, 0, 0, 576);
    shade.setColorAt(0, QColor(255, 255, 255, 30));
    shade.setColorAt(1, QColor(0, 0, 0, 60));
    p.fillRect(image.rect(), shade);
    p.setPen(QColor(230, 40, 30));
    p.drawLine(69, 0, 69, 575);
    // The maker's name, written upwards at the foot of the column.
    p.save();
    p.translate(44, 560);
    p.rotate(-90);
    QFont font(QStringLiteral("DejaVu Sans"), 13, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 70));
    p.drawText(0, 0, QStringLiteral("LUMARQ"));
    p.restore();
    return image;
}

// ---- toolbar glyphs, 32 x 32, light on the dark column

QImage Glyph(const std::function<void(QPainter&)>& draw)
{
    QImage image = Canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

void Pylon(QPainter& p, QRectF board)
{
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(245, 245, 245));
    p.drawRoundedRect(board, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    const qreal rowH = (board.height() - 4) / 2;
    for (int r = 0; r < 2; ++r) {
        QRectF row(board.left() + 2, board.top() + 2 + r * rowH, board.width() - 4, rowH - 1);
        p.drawRect(row);
        p.setBrush(QColor(255, 40, 30));
        for (int d = 0; d < 3; ++d)
            p.drawRect(QRectF(row.left() + 1.5 + d * (row.width() - 2) / 3, row.top() + 1.5,
                              (row.width() - 2) / 3 - 1.5, row.height() - 3));
        p.setBrush(QColor(20, 20, 20));
    }
}

void Arrow(QPainter& p, QPointF tip, bool up, const QColor& colour)
{
    const qreal d = up ? 1 : -1;
    QPolygonF shape({tip, tip + QPointF(-7, 7 * d), tip + QPointF(-3, 7 * d), tip + QPointF(-3, 14 * d),
                     tip + QPointF(3, 14 * d), tip + QPointF(3, 7 * d), tip + QPointF(7, 7 * d)});
    p.setPen(QPen(colour.darker(170), 1));
    p.setBrush(colour);
    p.drawPolygon(shape);
}

void DrawGlyphs(const QString& dir)
{
    Save(Glyph([](QPainter& p) {  // open: a folder
             p.setPen(QPen(QColor(120, 80, 10), 1));
             p.setBrush(QColor(230, 180, 60));
             p.drawPolygon(QPolygonF(
                 {QPointF(3, 7), QPointF(12, 7), QPointF(15, 10), QPointF(28, 10), QPointF(28, 26), QPointF(3, 26)}));
             p.setBrush(QColor(255, 214, 100));
             p.drawPolygon(QPolygonF({QPointF(7, 14), QPointF(31, 14), QPointF(27, 26), QPointF(3, 26)}));
         }),
         dir + "/open.png");
    Save(Glyph([](QPainter& p) {  // save: a disk
             p.setPen(QPen(QColor(20, 40, 90), 1));
             p.setBrush(QColor(60, 110, 200));
             p.drawPolygon(QPolygonF({QPointF(4, 4), QPointF(24, 4), QPointF(28, 8), QPointF(28, 28), QPointF(4, 28)}));
             p.setBrush(QColor(235, 240, 248));
             p.drawRect(QRectF(9, 4, 14, 9));
             p.setBrush(QColor(60, 110, 200));
             p.drawRect(QRectF(18, 6, 3, 5));
             p.setBrush(QColor(250, 250, 250));
             p.drawRect(QRectF(8, 17, 16, 11));
             p.setPen(QPen(QColor(160, 170, 190), 1));
             p.drawLine(QPointF(10, 21), QPointF(22, 21));
             p.drawLine(QPointF(10, 24), QPointF(22, 24));
         }),
         dir + "/save.png");
    Save(Glyph([](QPainter& p) {  // connections: a computer linked to two pylons
             p.setPen(QPen(QColor(200, 220, 240), 2));
             p.drawLine(QPointF(16, 14), QPointF(7, 22));
             p.drawLine(QPointF(16, 14), QPointF(25, 22));
             p.setPen(QPen(QColor(30, 30, 30), 1));
             p.setBrush(QColor(120, 200, 255));
             p.drawRoundedRect(QRectF(9, 3, 14, 11), 2, 2);
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(13, 14, 6, 2));
             Pylon(p, QRectF(1, 20, 12, 10));
             Pylon(p, QRectF(19, 20, 12, 10));
         }),
         dir + "/network.png");
    Save(Glyph([](QPainter& p) {  // brightness: a sun
             p.setPen(QPen(QColor(255, 210, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
             for (int i = 0; i < 8; ++i) {
                 const qreal a = i * M_PI / 4;
                 p.drawLine(QPointF(16 + 10 * std::cos(a), 16 + 10 * std::sin(a)),
                            QPointF(16 + 14 * std::cos(a), 16 + 14 * std::sin(a)));
             }
             QRadialGradient sun(14, 14, 9);
             sun.setColorAt(0, QColor(255, 250, 200));
             sun.setColorAt(1, QColor(255, 190, 30));
             p.setPen(QPen(QColor(200, 130, 0), 1));
             p.setBrush(sun);
             p.drawEllipse(QPointF(16, 16), 7.5, 7.5);
         }),
         dir + "/brightness.png");
    Save(Glyph([](QPainter& p) {  // fonts: letters
             QFont big(QStringLiteral("DejaVu Serif"), 20, QFont::Bold);
             p.setFont(big);
             p.setPen(QColor(250, 250, 250));
             p.drawText(QRect(0, 0, 22, 30), Qt::AlignCenter, QStringLiteral("A"));
             QFont small(QStringLiteral("DejaVu Sans"), 11, QFont::Bold);
             p.setFont(small);
             p.setPen(QColor(255, 90, 70));
             p.drawText(QRect(17, 10, 15, 22), Qt::AlignCenter, QStringLiteral("a"));
         }),
         dir + "/fonts.png");
    Save(Glyph([](QPainter& p) {  // send: an arrow up to the pylon
             Pylon(p, QRectF(6, 1, 20, 14));
             Arrow(p, QPointF(16, 16), true, QColor(80, 210, 90));
         }),
         dir + "/send.png");
    Save(Glyph([](QPainter& p) {  // download: an arrow down from the pylon
             Pylon(p, QRectF(6, 1, 20, 14));
             Arrow(p, QPointF(16, 31), false, QColor(90, 170, 255));
         }),
         dir + "/download.png");
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir + "/glyphs");
    Save(Logo(), dir + "/logo.png");
    Save(AboutBackground(), dir + "/about-background.png");
    Save(AboutClose(), dir + "/about-close.png");
    Save(LeftColumn(), dir + "/left-column.png");
    DrawGlyphs(dir + "/glyphs");
    return 0;
}
