#include "ui/history/HistoryTableModel.h"

#include "lang/Msg.h"
#include "ui/lang/QtText.h"

HistoryTableModel::HistoryTableModel(History& history, QObject* parent) : QAbstractTableModel(parent), history_(history)
{
    SetFilter({});
}

void HistoryTableModel::SetFilter(const HistoryFilter& filter)
{
    beginResetModel();
    filter_ = filter;
    rows_.clear();
    total_ = history_.Count(filter_);
    endResetModel();
    // The first page at once, whether or not a view asks for it.
    fetchMore({});
}

const HistoryRecord* HistoryTableModel::RecordAt(int row) const
{
    return row >= 0 && size_t(row) < rows_.size() ? &rows_[size_t(row)] : nullptr;
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int HistoryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

bool HistoryTableModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && qint64(rows_.size()) < total_;
}

void HistoryTableModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid()) return;
    HistoryCursor after;
    if (!rows_.empty()) after = {rows_.back().utcMs, rows_.back().id};
    std::vector<HistoryRecord> page = history_.Query(filter_, PageSize, after);
    if (page.empty()) {
        // Fewer records than counted (another program's changes): stop asking.
        total_ = qint64(rows_.size());
        return;
    }
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(page.size()) - 1);
    for (HistoryRecord& r : page) rows_.push_back(std::move(r));
    endInsertRows();
}

QString HistoryTableModel::ActionText(const std::string& action)
{
    static const char* const names[] = {"send", "download", "settings", "test"};
    for (int i = 0; i < 4; ++i)
        if (action == names[i]) return MsgText(MsgHistoryActions + i);
    return ToQString(action);
}

QString HistoryTableModel::PylonText(const HistoryRecord& r)
{
    if (r.pylon.empty()) return ToQString(r.target);
    return ToQString(r.pylon + " (" + r.target + ")");
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    const HistoryRecord* r = RecordAt(index.row());
    if (!r || role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case TimeColumn: return ToQString(FormatLocal(r->utcMs, r->utcOffsetMinutes).substr(0, 19));
    case PylonColumn: return PylonText(*r);
    case ActionColumn: return ActionText(r->action);
    case ResultColumn: return MsgText(r->ok ? MsgHistorySucceeded : MsgHistoryFailed);
    case PricesColumn: return ToQString(PriceSummary(*r));
    default: return {};
    }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    return MsgText(MsgHistoryHeadings + section);
}
