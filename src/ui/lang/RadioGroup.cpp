#include "ui/lang/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(QWidget* parent)
    : QGroupBox(parent), layout_(new QVBoxLayout(this)), group_(new QButtonGroup(this))
{
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) emit ItemIndexChanged(id);
    });
}

void RadioGroup::SetItems(const QStringList& items)
{
    for (QRadioButton* button : buttons_) {
        group_->removeButton(button);
        delete button;
    }
    buttons_.clear();
    for (const QString& text : items) AddItem(text);
}

void RadioGroup::AddItem(const QString& text)
{
    auto* button = new QRadioButton(text, this);
    group_->addButton(button, int(buttons_.size()));
    buttons_.append(button);
    layout_->addWidget(button);
}

QString RadioGroup::ItemText(int index) const
{
    return index >= 0 && index < buttons_.size() ? buttons_[index]->text() : QString();
}

void RadioGroup::SetItemText(int index, const QString& text)
{
    if (index >= 0 && index < buttons_.size()) buttons_[index]->setText(text);
}

int RadioGroup::ItemIndex() const { return group_->checkedId(); }

void RadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; lift that for a moment to clear it.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
        emit ItemIndexChanged(-1);
    }
}
