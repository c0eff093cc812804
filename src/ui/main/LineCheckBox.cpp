#include "ui/main/LineCheckBox.h"

LineCheckBox::LineCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

bool LineCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }
