#include "ui/dialogs/OwnerDrawDelegate.h"

#include <QPainter>

#include "ui/dialogs/StringGrid.h"

OwnerDrawDelegate::OwnerDrawDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!grid_->OnDrawCell) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    grid_->OnDrawCell(*painter, index.column(), index.row(), option.rect,
                      option.state.testFlag(QStyle::State_Selected));
    painter->restore();
}
