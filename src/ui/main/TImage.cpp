#include "ui/main/TImage.h"

#include <QPainter>

TImage::TImage(QWidget* parent, const QRect& geometry, const QColor& brush)
    : QWidget(parent), canvas_(geometry.size()), brush_(brush)
{
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    canvas_.fill(brush_);
}

void TImage::Draw(const QPixmap& picture)
{
    canvas_.fill(brush_);
    {
        QPainter p(&canvas_);
        p.drawPixmap(0, 0, picture);
    }
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, canvas_);
}
