#pragma once
#include <functional>
#include <QTableWidget>

// A grid of text cells addressed (column, row) whose row 0 is the heading
// row, part of the grid rather than a separate header: it scrolls with the
// rows, is never selected, and its column borders can be dragged to size the
// columns. Cells are drawn by the owner through OnDrawCell.
class StringGrid : public QTableWidget {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TStringGrid")
public:
    static constexpr int DefaultRowHeight = 20;
    // Paints one cell; `rect` is in viewport coordinates.
    using DrawCell = std::function<void(QPainter&, int col, int row, const QRect& rect, bool selected)>;

    StringGrid(int columns, QWidget* parent = nullptr);

    int RowCount() const { return rowCount(); }
    // Grows with empty cells or cuts from the end; the heading row stays.
    void SetRowCount(int rows);
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // The cell under a point of the grid (not of its viewport); -1 for a
    // coordinate outside the cells.
    void MouseToCell(QPoint at, int& col, int& row) const;
    // The cell's rectangle in the grid's own coordinates.
    QRect CellRect(int col, int row) const;

    DrawCell OnDrawCell;

signals:
    // A mouse button came up over the grid, at `at` in the grid's coordinates.
    void MouseUp(QPoint at);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    int SizingBorder(QPoint viewportAt) const;

    int sizingColumn_ = -1;
    int sizingStart_ = 0;
    int sizingWidth_ = 0;
};
