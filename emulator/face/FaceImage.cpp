#include "emulator/face/FaceImage.h"

#include <cstdio>

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QPolygonF>

namespace face {

namespace {

// The segment outlines of a 30 x 48 cell: the digit spans x 5 to 25 and
// y 4 to 44, bars 4.2 thick with pointed ends and a small gap at the joints.
constexpr qreal Left = 5.5, Right = 24.5, Top = 4.5, Mid = 24, Bottom = 43.5, W = 4.2, Gap = 0.9;

QPolygonF Bar(QPointF from, QPointF to)
{
    const qreal h = W / 2;
    if (from.y() == to.y())
        return QPolygonF({from,
                          {from.x() + h, from.y() - h},
                          {to.x() - h, to.y() - h},
                          to,
                          {to.x() - h, to.y() + h},
                          {from.x() + h, from.y() + h}});
    return QPolygonF({from,
                      {from.x() + h, from.y() + h},
                      {to.x() + h, to.y() - h},
                      to,
                      {to.x() - h, to.y() - h},
                      {from.x() - h, from.y() + h}});
}

const QPolygonF& Outline(int s)
{
    static const QPolygonF segments[7] = {
        Bar({Left + Gap, Top}, {Right - Gap, Top}),        // a
        Bar({Right, Top + Gap}, {Right, Mid - Gap}),       // b
        Bar({Right, Mid + Gap}, {Right, Bottom - Gap}),    // c
        Bar({Left + Gap, Bottom}, {Right - Gap, Bottom}),  // d
        Bar({Left, Mid + Gap}, {Left, Bottom - Gap}),      // e
        Bar({Left, Top + Gap}, {Left, Mid - Gap}),         // f
        Bar({Left + Gap, Mid}, {Right - Gap, Mid}),        // g
    };
    return segments[s];
}

QColor Led(bool lit, double intensity)
{
    const Rgb c = LedColour(lit, intensity);
    return QColor(c.r, c.g, c.b);
}

}  // namespace

QRect ImageLayout::Board(int side)
{
    return QRect(Margin + side * (BoardWidth + SideGap), Margin, BoardWidth, BoardHeight);
}

QRect ImageLayout::CellRect(int side, int line, int position)
{
    const QRect b = Board(side);
    return QRect(b.x() + 4 + CellPitch * position, b.y() + LineHeight * line + 12, CellWidth, CellHeight);
}

QPointF ImageLayout::SegmentCentre(int s)
{
    constexpr qreal X = (Left + Right) / 2, Upper = (Top + Mid) / 2, Lower = (Mid + Bottom) / 2;
    const QPointF centres[7] = {{X, Top},      {Right, Upper}, {Right, Lower}, {X, Bottom},
                                {Left, Lower}, {Left, Upper},  {X, Mid}};
    return centres[s];
}

QPointF ImageLayout::PointCentre(int side, int line, int position)
{
    // Where the program's point picture has its dot: 5.5 right of the cell
    // and 42.5 down it.
    const QRect c = CellRect(side, line, position);
    return QPointF(c.right() + 1 + 5.5, c.y() + 42.5);
}

QImage RenderFace(const Face& f)
{
    using Lay = ImageLayout;
    QImage image(Lay::Width, Lay::Height, QImage::Format_RGB32);
    image.fill(QColor(32, 32, 32));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    for (int side = 0; side < 2; ++side) {
        p.fillRect(Lay::Board(side), Qt::black);
        const double intensity = side ? f.right : f.left;
        const QColor dark = Led(false, intensity), lit = Led(true, intensity);
        for (int line = 0; line < f.lines; ++line) {
            for (int k = f.FirstCell(); k < MaxDigits; ++k) {
                const Cell& cell = f.line[line].cells[k];
                const QRect r = Lay::CellRect(side, line, k);
                p.save();
                p.translate(r.topLeft());
                for (int s = 0; s < 7; ++s) {
                    p.setBrush((cell.segments >> s) & 1 ? lit : dark);
                    p.drawPolygon(Outline(s));
                }
                p.restore();
                if (cell.point && k < MaxDigits - 1) {
                    p.setBrush(lit);
                    p.drawEllipse(Lay::PointCentre(side, line, k), 3, 3);
                }
            }
        }
    }
    p.end();
    image.setText(QStringLiteral("Description"), QString::fromStdString(Summary(f)));
    return image;
}

bool WriteFacePng(const Face& f, const std::string& path)
{
    // A reader never finds half a picture: it is written beside the file and
    // renamed over it. Nothing waits for the disk; the file is redrawn anyway.
    const std::string temporary = path + ".part";
    QFile file(QFile::decodeName(QByteArray::fromStdString(temporary)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = QImageWriter(&file, "png").write(RenderFace(f)) && file.flush();
    file.close();
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace face
