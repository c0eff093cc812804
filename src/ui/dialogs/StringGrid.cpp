#include "ui/dialogs/StringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/dialogs/OwnerDrawDelegate.h"

namespace {
// How near a column border the mouse must be in the heading row to size it.
constexpr int SizingGrip = 3;
constexpr int MinColumnWidth = 8;
}  // namespace

StringGrid::StringGrid(int columns, QWidget* parent) : QTableWidget(1, columns, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    // Tab leaves the grid for the next control; the arrows move between cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setItemDelegate(new OwnerDrawDelegate(this));
    // Rows of the grid's default height, whatever the font asks for.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    viewport()->setMouseTracking(true);
    SetRowCount(1);
}

void StringGrid::SetRowCount(int rows)
{
    if (rows < 1) rows = 1;
    const int old = rowCount();
    setRowCount(rows);
    for (int r = old; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c) SetCell(c, r, QString());
}

QString StringGrid::Cell(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void StringGrid::SetCell(int col, int row, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        // The heading row can be neither selected nor edited.
        it->setFlags(row == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, col, it);
    }
    it->setText(text);
}

void StringGrid::MouseToCell(QPoint at, int& col, int& row) const
{
    const QPoint v = viewport()->mapFrom(this, at);
    col = -1;
    row = -1;
    if (v.x() >= 0 && v.x() < viewport()->width()) col = columnAt(v.x());
    if (v.y() >= 0 && v.y() < viewport()->height()) row = rowAt(v.y());
}

QRect StringGrid::CellRect(int col, int row) const
{
    const QRect v = visualRect(model()->index(row, col));
    return v.translated(viewport()->mapTo(this, QPoint(0, 0)));
}

int StringGrid::SizingBorder(QPoint v) const
{
    if (rowAt(v.y()) != 0) return -1;
    for (int c = 0; c < columnCount(); ++c) {
        const int right = columnViewportPosition(c) + columnWidth(c);
        if (std::abs(v.x() - right) <= SizingGrip) return c;
    }
    return -1;
}

bool StringGrid::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        const int c = m->button() == Qt::LeftButton ? SizingBorder(m->position().toPoint()) : -1;
        if (c >= 0) {
            sizingColumn_ = c;
            sizingStart_ = m->position().toPoint().x();
            sizingWidth_ = columnWidth(c);
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint v = m->position().toPoint();
        if (sizingColumn_ >= 0) {
            setColumnWidth(sizingColumn_, std::max(MinColumnWidth, sizingWidth_ + v.x() - sizingStart_));
            return true;
        }
        if (SizingBorder(v) >= 0) viewport()->setCursor(Qt::SplitHCursor);
        else viewport()->unsetCursor();
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (sizingColumn_ >= 0) {
            sizingColumn_ = -1;
            return true;
        }
        const QPoint at = viewport()->mapTo(this, m->position().toPoint());
        const bool handled = QTableWidget::viewportEvent(event);
        emit MouseUp(at);
        return handled;
    }
    default: break;
    }
    return QTableWidget::viewportEvent(event);
}
