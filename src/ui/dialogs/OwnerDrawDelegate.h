#pragma once
#include <QStyledItemDelegate>

class StringGrid;

// Hands the painting of a grid cell to the grid's OnDrawCell.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(StringGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    StringGrid* grid_;
};
