#pragma once
#include <QAbstractButton>
#include <QPixmap>

// A flat button: no frame until the mouse is over it, a glyph above its
// (usually empty) caption, a greyed glyph while disabled.
class FlatButton : public QAbstractButton {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TSpeedButton")
public:
    explicit FlatButton(QWidget* parent = nullptr);

    // `disabled` is drawn while the button is disabled; an empty one is made
    // from `normal` when the button is first drawn disabled.
    void SetGlyph(const QPixmap& normal, const QPixmap& disabled = QPixmap());
    const QPixmap& Glyph() const { return glyph_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const QPixmap& DisabledGlyph() const;

    QPixmap glyph_;
    mutable QPixmap disabledGlyph_;
    bool hovered_ = false;
};
