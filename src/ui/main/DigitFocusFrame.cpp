#include "ui/main/DigitFocusFrame.h"

#include <QPainter>

DigitFocusFrame::DigitFocusFrame(QWidget* display) : QWidget(display)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(display->rect());
    hide();
}

void DigitFocusFrame::SetDigit(const QRect& digit)
{
    digit_ = digit;
    update();
}

void DigitFocusFrame::paintEvent(QPaintEvent*)
{
    // The display is black whatever the palette: the frame takes the
    // highlight, which stands out on black in every palette.
    QPainter painter(this);
    QColor colour = palette().color(QPalette::Highlight);
    if (colour.lightness() < 110) colour = colour.lighter(170);
    painter.setPen(QPen(colour, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!digit_.isEmpty()) {
        painter.setPen(QPen(colour, 2));
        painter.drawRect(digit_.adjusted(-1, -1, 0, 0));
    }
}
