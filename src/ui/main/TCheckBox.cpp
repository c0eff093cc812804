#include "ui/main/TCheckBox.h"

TCheckBox::TCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

bool TCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}
