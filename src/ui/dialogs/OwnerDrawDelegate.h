#pragma once
#include <QStyledItemDelegate>

class TStringGrid;

// Hands the painting of a grid cell to the grid's OnDrawCell.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(TStringGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TStringGrid* grid_;
};
