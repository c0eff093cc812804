#pragma once
#include <QWidget>

// Drawn over a line's digit display while it has the keyboard focus: a frame
// round the display and a heavier one round the digit that Up and Down step.
// It takes no mouse input; the display under it does.
class DigitFocusFrame : public QWidget {
    Q_OBJECT
public:
    explicit DigitFocusFrame(QWidget* display);
    // The digit's rectangle in the display's coordinates; empty for none.
    void SetDigit(const QRect& digit);
    const QRect& Digit() const { return digit_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect digit_;
};
