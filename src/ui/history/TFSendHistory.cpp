#include "ui/history/TFSendHistory.h"

#include <fstream>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include "lang/Msg.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/common/FileDialogs.h"
#include "ui/history/HistoryTableModel.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtComponents.h"
#include "ui/lang/QtText.h"
#include "ui/lang/TLanguageChanger.h"

namespace {

constexpr int WarningStyle = 48;

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// Local midnight of a day, in ms since 1970 UTC.
int64_t StartOfDay(const QDate& day) { return QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch(); }

}  // namespace

TFSendHistory::TFSendHistory(QWidget* owner, TLanguageChanger& language, History& history, FileDialogs& dialogs)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      history_(history),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("FSendHistory"));
    setWindowTitle(QStringLiteral("Historia wysyłania"));
    resize(820, 560);

    LPylon = Named(new QLabel(QStringLiteral("Pylon:"), this), "LPylon");
    CBPylon = Named(new QComboBox(this), "CBPylon");
    CBPylon->setMinimumContentsLength(20);
    CBPylon->addItem(MsgText(MsgHistoryAllPylons), QString());
    for (const std::string& target : history_.Targets()) CBPylon->addItem(ToQString(target), ToQString(target));
    LResult = Named(new QLabel(QStringLiteral("Wynik:"), this), "LResult");
    CBResult = Named(new QComboBox(this), "CBResult");
    CBResult->addItems({MsgText(MsgHistoryAllResults), MsgText(MsgHistorySucceeded), MsgText(MsgHistoryFailed)});
    CBDateRange = Named(new QCheckBox(QStringLiteral("Od dnia:"), this), "CBDateRange");
    DTPFrom = Named(new QDateEdit(QDate::currentDate().addDays(-30), this), "DTPFrom");
    LTo = Named(new QLabel(QStringLiteral("do dnia:"), this), "LTo");
    DTPTo = Named(new QDateEdit(QDate::currentDate(), this), "DTPTo");
    for (QDateEdit* d : {DTPFrom, DTPTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setEnabled(false);
    }
    LCount = Named(new QLabel(this), "LCount");

    model_ = new HistoryTableModel(history_, this);
    LVHistory = Named(new QTableView(this), "LVHistory");
    LVHistory->setModel(model_);
    LVHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    LVHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVHistory->verticalHeader()->hide();
    LVHistory->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    LVHistory->horizontalHeader()->setStretchLastSection(true);
    LVHistory->setColumnWidth(HistoryTableModel::TimeColumn, 140);
    LVHistory->setColumnWidth(HistoryTableModel::PylonColumn, 200);
    LVHistory->setColumnWidth(HistoryTableModel::ActionColumn, 110);
    LVHistory->setColumnWidth(HistoryTableModel::ResultColumn, 90);

    LRecord = Named(new QLabel(QStringLiteral("Wybrany rekord:"), this), "LRecord");
    MRecord = Named(new QPlainTextEdit(this), "MRecord");
    MRecord->setReadOnly(true);
    MRecord->setMaximumHeight(170);
    BExport = Named(new QPushButton(QStringLiteral("Eksport CSV..."), this), "BExport");
    BClose = Named(new QPushButton(QStringLiteral("Zamknij"), this), "BClose");

    auto* filters = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{LPylon, CBPylon, LResult, CBResult, CBDateRange, DTPFrom, LTo, DTPTo})
        filters->addWidget(w);
    filters->addStretch(1);
    filters->addWidget(LCount);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BExport);
    buttons->addStretch(1);
    buttons->addWidget(BClose);
    auto* all = new QVBoxLayout(this);
    all->addLayout(filters);
    all->addWidget(LVHistory, 1);
    all->addWidget(LRecord);
    all->addWidget(MRecord);
    all->addLayout(buttons);

    connect(CBPylon, &QComboBox::currentIndexChanged, this, &TFSendHistory::FilterChange);
    connect(CBResult, &QComboBox::currentIndexChanged, this, &TFSendHistory::FilterChange);
    connect(CBDateRange, &QCheckBox::toggled, this, [this](bool on) {
        DTPFrom->setEnabled(on);
        DTPTo->setEnabled(on);
        FilterChange();
    });
    connect(DTPFrom, &QDateEdit::dateChanged, this, &TFSendHistory::FilterChange);
    connect(DTPTo, &QDateEdit::dateChanged, this, &TFSendHistory::FilterChange);
    connect(LVHistory->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { ShowSelected(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { ShowSelected(); });
    connect(BExport, &QPushButton::clicked, this, &TFSendHistory::BExportClick);
    connect(BClose, &QPushButton::clicked, this, &QDialog::accept);

    language.Translate(this, objectName(), QString(), 0);
    FilterChange();
    CentreOnScreen(this);
}

TFSendHistory::~TFSendHistory() = default;

HistoryFilter TFSendHistory::CurrentFilter() const
{
    HistoryFilter f;
    f.target = CBPylon->currentData().toString().toStdString();
    if (CBResult->currentIndex() == 1) f.result = HistoryFilter::Result::Ok;
    if (CBResult->currentIndex() == 2) f.result = HistoryFilter::Result::Failed;
    if (CBDateRange->isChecked()) {
        f.fromUtcMs = StartOfDay(DTPFrom->date());
        f.toUtcMs = StartOfDay(DTPTo->date().addDays(1));
    }
    return f;
}

void TFSendHistory::FilterChange()
{
    model_->SetFilter(CurrentFilter());
    LCount->setText(MsgText(MsgHistoryRecords) + QLatin1Char(' ') + QString::number(model_->Total()));
}

void TFSendHistory::ShowSelected()
{
    const HistoryRecord* r = model_->RecordAt(LVHistory->currentIndex().row());
    MRecord->setPlainText(r ? ToQString(DescribeRecord(*r)) : QString());
}

void TFSendHistory::BExportClick()
{
    FileDialogRequest request;
    request.title = MsgText(MsgHistoryExportTitle);
    request.filters = FileDialogFilters(MsgText(MsgHistoryCsvFilter));
    request.initialFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    request.fileName = MsgText(MsgHistoryCsvName);
    request.defaultSuffix = QStringLiteral("csv");
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = dialogs_.AskSave(this, request);
    if (!chosen) return;
    bool ok = false;
    {
        std::ofstream out(QFile::encodeName(*chosen).toStdString(), std::ios::binary | std::ios::trunc);
        ok = out && history_.ExportCsv(CurrentFilter(), out);
        out.close();
        ok = ok && !out.fail();
    }
    if (!ok) ShowWarningBox(MsgText(MsgHistoryExportError), WarningStyle);
}
