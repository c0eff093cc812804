#include "ui/history/SendHistoryWindow.h"

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
#include "ui/lang/LanguageChanger.h"

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

SendHistoryWindow::SendHistoryWindow(QWidget* owner, LanguageChanger& language, History& history, FileDialogs& dialogs)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      history_(history), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("FSendHistory"));
    setWindowTitle(QStringLiteral("Historia wysyłania"));
    resize(820, 560);

    PylonLabel = Named(new QLabel(QStringLiteral("Pylon:"), this), "LPylon");
    PylonBox = Named(new QComboBox(this), "CBPylon");
    PylonBox->setMinimumContentsLength(20);
    PylonBox->addItem(MsgText(MsgHistoryAllPylons), QString());
    for (const std::string& target : history_.Targets()) PylonBox->addItem(ToQString(target), ToQString(target));
    ResultLabel = Named(new QLabel(QStringLiteral("Wynik:"), this), "LResult");
    ResultBox = Named(new QComboBox(this), "CBResult");
    ResultBox->addItems({MsgText(MsgHistoryAllResults), MsgText(MsgHistorySucceeded), MsgText(MsgHistoryFailed)});
    DateRangeBox = Named(new QCheckBox(QStringLiteral("Od dnia:"), this), "CBDateRange");
    FromDate = Named(new QDateEdit(QDate::currentDate().addDays(-30), this), "DTPFrom");
    ToLabel = Named(new QLabel(QStringLiteral("do dnia:"), this), "LTo");
    ToDate = Named(new QDateEdit(QDate::currentDate(), this), "DTPTo");
    for (QDateEdit* d : {FromDate, ToDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setEnabled(false);
    }
    CountLabel = Named(new QLabel(this), "LCount");

    model_ = new HistoryTableModel(history_, this);
    RecordTable = Named(new QTableView(this), "LVHistory");
    RecordTable->setModel(model_);
    RecordTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    RecordTable->setSelectionMode(QAbstractItemView::SingleSelection);
    RecordTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RecordTable->verticalHeader()->hide();
    RecordTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    RecordTable->horizontalHeader()->setStretchLastSection(true);
    RecordTable->setColumnWidth(HistoryTableModel::TimeColumn, 140);
    RecordTable->setColumnWidth(HistoryTableModel::PylonColumn, 200);
    RecordTable->setColumnWidth(HistoryTableModel::ActionColumn, 110);
    RecordTable->setColumnWidth(HistoryTableModel::ResultColumn, 90);

    RecordLabel = Named(new QLabel(QStringLiteral("Wybrany rekord:"), this), "LRecord");
    RecordText = Named(new QPlainTextEdit(this), "MRecord");
    RecordText->setReadOnly(true);
    RecordText->setMaximumHeight(170);
    ExportButton = Named(new QPushButton(QStringLiteral("Eksport CSV..."), this), "BExport");
    CloseButton = Named(new QPushButton(QStringLiteral("Zamknij"), this), "BClose");

    auto* filters = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{PylonLabel, PylonBox, ResultLabel, ResultBox, DateRangeBox,
                                                      FromDate, ToLabel, ToDate})
        filters->addWidget(w);
    filters->addStretch(1);
    filters->addWidget(CountLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ExportButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* all = new QVBoxLayout(this);
    all->addLayout(filters);
    all->addWidget(RecordTable, 1);
    all->addWidget(RecordLabel);
    all->addWidget(RecordText);
    all->addLayout(buttons);

    connect(PylonBox, &QComboBox::currentIndexChanged, this, &SendHistoryWindow::FilterChanged);
    connect(ResultBox, &QComboBox::currentIndexChanged, this, &SendHistoryWindow::FilterChanged);
    connect(DateRangeBox, &QCheckBox::toggled, this, [this](bool on) {
        FromDate->setEnabled(on);
        ToDate->setEnabled(on);
        FilterChanged();
    });
    connect(FromDate, &QDateEdit::dateChanged, this, &SendHistoryWindow::FilterChanged);
    connect(ToDate, &QDateEdit::dateChanged, this, &SendHistoryWindow::FilterChanged);
    connect(RecordTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { ShowSelected(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { ShowSelected(); });
    connect(ExportButton, &QPushButton::clicked, this, &SendHistoryWindow::ExportClicked);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    language.Translate(this, objectName(), QString(), 0);
    FilterChanged();
    CentreOnScreen(this);
}

SendHistoryWindow::~SendHistoryWindow() = default;

HistoryFilter SendHistoryWindow::CurrentFilter() const
{
    HistoryFilter f;
    f.target = PylonBox->currentData().toString().toStdString();
    if (ResultBox->currentIndex() == 1) f.result = HistoryFilter::Result::Ok;
    if (ResultBox->currentIndex() == 2) f.result = HistoryFilter::Result::Failed;
    if (DateRangeBox->isChecked()) {
        f.fromUtcMs = StartOfDay(FromDate->date());
        f.toUtcMs = StartOfDay(ToDate->date().addDays(1));
    }
    return f;
}

void SendHistoryWindow::FilterChanged()
{
    model_->SetFilter(CurrentFilter());
    CountLabel->setText(MsgText(MsgHistoryRecords) + QLatin1Char(' ') + QString::number(model_->Total()));
}

void SendHistoryWindow::ShowSelected()
{
    const HistoryRecord* r = model_->RecordAt(RecordTable->currentIndex().row());
    RecordText->setPlainText(r ? ToQString(DescribeRecord(*r)) : QString());
}

void SendHistoryWindow::ExportClicked()
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
