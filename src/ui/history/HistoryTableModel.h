#pragma once
#include <QAbstractTableModel>
#include <vector>

#include "history/History.h"

// The send history as a table, newest first: time, pylon, action, result,
// prices. Rows are fetched from the database a page at a time as the view
// scrolls (canFetchMore / fetchMore), so a history of any length opens at
// once; the count of all matching records is known from the start.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, PylonColumn, ActionColumn, ResultColumn, PricesColumn, ColumnCount };
    static constexpr int PageSize = 200;

    explicit HistoryTableModel(History& history, QObject* parent = nullptr);

    // Shows the records of `filter` from the newest; the rows fetched so far are dropped.
    void SetFilter(const HistoryFilter& filter);
    const HistoryFilter& Filter() const { return filter_; }
    // Every record the filter matches, fetched or not.
    qint64 Total() const { return total_; }
    // The record of a fetched row; null outside them.
    const HistoryRecord* RecordAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The texts of the table, in the current language.
    static QString ActionText(const std::string& action);
    static QString PylonText(const HistoryRecord& record);

private:
    History& history_;
    HistoryFilter filter_;
    std::vector<HistoryRecord> rows_;
    qint64 total_ = 0;
};
