#include "ui/main/FlatButton.h"

#include <QImage>
#include <QPainter>

namespace {

// A grey, lighter copy of a glyph, as disabled buttons show it.
QPixmap Greyed(const QPixmap& source)
{
    if (source.isNull()) return source;
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int g = 128 + qGray(c) / 3;
            line[x] = qRgba(g, g, g, qAlpha(c) / 2);
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

FlatButton::FlatButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, true);
}

void FlatButton::SetGlyph(const QPixmap& normal, const QPixmap& disabled)
{
    glyph_ = normal;
    disabledGlyph_ = disabled;
    update();
}

const QPixmap& FlatButton::DisabledGlyph() const
{
    if (disabledGlyph_.isNull()) disabledGlyph_ = Greyed(glyph_);
    return disabledGlyph_;
}

QSize FlatButton::sizeHint() const
{
    QSize glyph = glyph_.isNull() ? QSize(16, 16) : glyph_.deviceIndependentSize().toSize();
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height() + 2;
    const int textWidth = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
    return QSize(qMax(glyph.width(), textWidth) + 8, glyph.height() + textHeight + 8);
}

void FlatButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const bool sunken = isDown() || isChecked();
    if (isEnabled() && (sunken || hovered_)) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        p.setPen(sunken ? dark : light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(sunken ? light : dark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

    const QPixmap& glyph = isEnabled() ? glyph_ : DisabledGlyph();
    const QSize g = glyph.isNull() ? QSize() : glyph.deviceIndependentSize().toSize();
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height();
    const int total = g.height() + (textHeight ? textHeight + 2 : 0);
    int y = (height() - total) / 2 + (sunken ? 1 : 0);
    const int shift = sunken ? 1 : 0;
    if (!glyph.isNull()) {
        p.drawPixmap((width() - g.width()) / 2 + shift, y, glyph);
        y += g.height() + 2;
    }
    if (textHeight) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(QRect(shift, y, width(), textHeight), Qt::AlignHCenter | Qt::AlignTop, text());
    }
}
