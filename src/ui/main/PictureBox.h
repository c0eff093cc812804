#pragma once
#include <QColor>
#include <QPixmap>
#include <QWidget>

// An image control: the brush over its whole size, the picture on it at
// (0, 0); a picture wider than the image shows only its left part. The
// picture is shared with whoever drew it (the digits' pictures are made
// once for every display), not copied.
class PictureBox : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TImage")
public:
    PictureBox(QWidget* parent, const QRect& geometry, const QColor& brush = Qt::black);

    void Draw(const QPixmap& picture);
    // What the image shows, in its own size.
    QPixmap Canvas() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint(QPainter& p) const;

    QPixmap picture_;
    QColor brush_;
};
