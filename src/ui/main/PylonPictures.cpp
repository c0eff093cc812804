#include "ui/main/PylonPictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPainter>
#include <QPolygonF>

const QColor PylonPictures::Lit(255, 24, 16);
const QColor PylonPictures::Unlit(48, 4, 4);

namespace {

// Segments a to g of the cell; bit n of the mask lights segment n.
enum Segment { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

constexpr int SegmentMask[10] = {
    A | B | C | D | E | F,      // 0
    B | C,                      // 1
    A | B | G | E | D,          // 2
    A | B | G | C | D,          // 3
    F | G | B | C,              // 4
    A | F | G | C | D,          // 5
    A | F | G | E | C | D,      // 6
    A | B | C,                  // 7
    A | B | C | D | E | F | G,  // 8
    A | B | C | D | F | G,      // 9
};

// A segment with pointed ends between two points, `t` thick.
QPolygonF Bar(QPointF from, QPointF to, qreal t)
{
    const qreal h = t / 2;
    if (from.y() == to.y()) {
        return QPolygonF({QPointF(from.x(), from.y()), QPointF(from.x() + h, from.y() - h),
                          QPointF(to.x() - h, to.y() - h), QPointF(to.x(), to.y()), QPointF(to.x() - h, to.y() + h),
                          QPointF(from.x() + h, from.y() + h)});
    }
    return QPolygonF({QPointF(from.x(), from.y()), QPointF(from.x() + h, from.y() + h), QPointF(to.x() + h, to.y() - h),
                      QPointF(to.x(), to.y()), QPointF(to.x() - h, to.y() - h), QPointF(from.x() - h, from.y() + h)});
}

void DrawSegments(QPainter& p, int mask)
{
    // The digit occupies x 5 to 25 and y 4 to 44 of the 30 x 48 cell.
    constexpr qreal l = 5.5, r = 24.5, t = 4.5, m = 24, b = 43.5, w = 4.2, gap = 0.9;
    const QPolygonF segments[7] = {
        Bar({l + gap, t}, {r - gap, t}, w),  // a
        Bar({r, t + gap}, {r, m - gap}, w),  // b
        Bar({r, m + gap}, {r, b - gap}, w),  // c
        Bar({l + gap, b}, {r - gap, b}, w),  // d
        Bar({l, m + gap}, {l, b - gap}, w),  // e
        Bar({l, t + gap}, {l, m - gap}, w),  // f
        Bar({l + gap, m}, {r - gap, m}, w),  // g
    };
    p.setPen(Qt::NoPen);
    for (int s = 0; s < 7; ++s) {
        p.setBrush((mask >> s) & 1 ? PylonPictures::Lit : PylonPictures::Unlit);
        p.drawPolygon(segments[s]);
    }
}

}  // namespace

QImage PylonPictures::DrawDigit(int picture)
{
    QImage image(DigitWidth, DigitHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (picture >= 0 && picture <= 9) {
        DrawSegments(p, SegmentMask[picture]);
    } else if (picture == 10) {
        DrawSegments(p, 0);
    } else if (picture == 11) {
        // The point sits at the lower left, inside the 11-pixel point images.
        p.setPen(Qt::NoPen);
        p.setBrush(Lit);
        p.drawEllipse(QRectF(2.5, 39.5, 6, 6));
    } else if (picture == 13) {
        DrawSegments(p, G);
    }
    return image;
}

QImage PylonPictures::DrawButtDot(int picture)
{
    QImage image(DotWidth, DotHeight, QImage::Format_RGB32);
    // Around the square the indicator shows the line panel's colour.
    image.fill(QGuiApplication::palette().color(QPalette::Window));
    QPainter p(&image);
    p.fillRect(QRect(1, 5, 8, 8), picture == 0 ? QColor(255, 0, 0) : QColor(255, 176, 176));
    return image;
}

const QList<QPixmap>& PylonPictures::Digits()
{
    static const QList<QPixmap> pictures = [] {
        QList<QPixmap> list;
        for (int i = 0; i < 14; ++i) list.append(QPixmap::fromImage(DrawDigit(i)));
        return list;
    }();
    return pictures;
}

const QList<QPixmap>& PylonPictures::ButtDots()
{
    static const QList<QPixmap> pictures = [] {
        QList<QPixmap> list;
        for (int i = 0; i < 2; ++i) list.append(QPixmap::fromImage(DrawButtDot(i)));
        return list;
    }();
    return pictures;
}

QPixmap PylonPictures::Arrow(Qt::ArrowType direction, QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal w = size.width(), h = size.height();
    QPolygonF shape;
    switch (direction) {
    case Qt::UpArrow: shape << QPointF(0, h) << QPointF(w / 2, 0) << QPointF(w, h); break;
    case Qt::DownArrow: shape << QPointF(0, 0) << QPointF(w, 0) << QPointF(w / 2, h); break;
    case Qt::LeftArrow: shape << QPointF(w, 0) << QPointF(w, h) << QPointF(0, h / 2); break;
    default: shape << QPointF(0, 0) << QPointF(w, h / 2) << QPointF(0, h); break;
    }
    p.drawPolygon(shape);
    return QPixmap::fromImage(image);
}
