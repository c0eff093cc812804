#pragma once
#include <QColor>
#include <QList>
#include <QPixmap>

// The pictures of the pylon face, drawn in code: red seven-segment digits on
// black, and the point indicator of the line buttons.
class PylonPictures {
public:
    static constexpr int DigitWidth = 30;
    static constexpr int DigitHeight = 48;
    static constexpr int DotWidth = 10;
    static constexpr int DotHeight = 18;

    // 14 pictures, 30 x 48: 0 to 9 the digits, 10 a dark cell, 11 a lit
    // decimal point at the lower left, 12 all black, 13 a dash.
    static const QList<QPixmap>& Digits();
    // 2 pictures, 10 x 18: 0 a bright red square (the point can be moved),
    // 1 a pale one (it can't).
    static const QList<QPixmap>& ButtDots();

    // A small triangle pointing `direction` (Qt::UpArrow ...), centred in `size`.
    static QPixmap Arrow(Qt::ArrowType direction, QSize size, const QColor& colour);

    static QImage DrawDigit(int picture);
    static QImage DrawButtDot(int picture);

    static const QColor Lit;
    static const QColor Unlit;
};
