#pragma once
#include <QCheckBox>

// A check box that takes clicks anywhere on its rectangle, not only on its
// mark and caption: the line boxes are wider than their shortest captions.
class LineCheckBox : public QCheckBox {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TCheckBox")
public:
    LineCheckBox(const QString& caption, QWidget* parent);

protected:
    bool hitButton(const QPoint& pos) const override;
};
