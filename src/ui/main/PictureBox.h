#pragma once
#include <QColor>
#include <QPixmap>
#include <QWidget>

// An image control with a canvas of its own size. Drawing a picture fills the
// whole canvas with the brush first, then paints the picture at (0, 0); a
// picture wider than the image shows only its left part.
class PictureBox : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TImage")
public:
    PictureBox(QWidget* parent, const QRect& geometry, const QColor& brush = Qt::black);

    void Draw(const QPixmap& picture);
    const QPixmap& Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap canvas_;
    QColor brush_;
};
