#include "ui/main/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, const QColor& brush)
    : QWidget(parent), canvas_(geometry.size()), brush_(brush)
{
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    canvas_.fill(brush_);
}

void PictureBox::Draw(const QPixmap& picture)
{
    canvas_.fill(brush_);
    {
        QPainter p(&canvas_);
        p.drawPixmap(0, 0, picture);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, canvas_);
}
