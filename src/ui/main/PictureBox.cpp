#include "ui/main/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, const QColor& brush) : QWidget(parent), brush_(brush)
{
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void PictureBox::Draw(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void PictureBox::Paint(QPainter& p) const
{
    // The brush shows only where an opaque picture leaves it uncovered.
    const QRect all(QPoint(0, 0), size());
    const QRect covered = all.intersected(QRect(QPoint(0, 0), picture_.deviceIndependentSize().toSize()));
    if (covered != all || picture_.hasAlphaChannel()) p.fillRect(all, brush_);
    if (!picture_.isNull()) p.drawPixmap(0, 0, picture_);
}

QPixmap PictureBox::Canvas() const
{
    QPixmap canvas(size());
    QPainter p(&canvas);
    Paint(p);
    return canvas;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    Paint(p);
}
