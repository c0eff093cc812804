#include "ui/lang/LabeledEdit.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>

LabeledEdit::LabeledEdit(QWidget* parent) : QLineEdit(parent), label_(new QLabel(parent))
{
    label_->setBuddy(this);
    PlaceLabel();
}

LabeledEdit::~LabeledEdit() { delete label_; }

void LabeledEdit::SetLabelSpacing(int pixels)
{
    spacing_ = pixels;
    PlaceLabel();
}

bool LabeledEdit::event(QEvent* e)
{
    const bool result = QLineEdit::event(e);
    if (!label_) return result;
    switch (e->type()) {
    case QEvent::ParentChange:
        label_->setParent(parentWidget());
        label_->setVisible(parentWidget() && !isHidden());
        PlaceLabel();
        break;
    case QEvent::Move:
    case QEvent::Resize: PlaceLabel(); break;
    case QEvent::Show:
        label_->show();
        PlaceLabel();
        break;
    case QEvent::Hide: label_->hide(); break;
    case QEvent::EnabledChange: label_->setEnabled(isEnabled()); break;
    default: break;
    }
    return result;
}

void LabeledEdit::PlaceLabel()
{
    if (!label_) return;
    QWidget* parent = label_->parentWidget();
    // A label that a layout manages is placed by the layout.
    if (parent && parent->layout() && parent->layout()->indexOf(label_) >= 0) return;
    label_->adjustSize();
    label_->move(x(), y() - label_->height() - spacing_);
}
