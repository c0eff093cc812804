#include "ui/dialogs/ConnectionDialog.h"

#include <algorithm>
#include <new>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "comm/SerialPort.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/LanguageChanger.h"
#include "model/Cp1250.h"
#include "model/PylonConfig.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/dialogs/BgrColor.h"
#include "ui/dialogs/StringGrid.h"
#include "ui/common/DesignFont.h"
#include "ui/common/DialogKeys.h"
#include "ui/common/DialogParts.h"
#include "ui/common/Keyboard.h"

ConnectionDialog* OpenConnectionDialog = nullptr;

namespace {

constexpr int SelectedBackground = 0xF1AB7C;
constexpr int SelectedText = 0x800000;
constexpr int HeadingBackground = 0x373737;

constexpr int OctetLimit = 255;
constexpr long PortLimit = 65535;
// Widths of the model's text fields, in bytes of the code page.
constexpr size_t NameWidth = 20;
constexpr size_t AddressWidth = 15;
constexpr size_t PortNameWidth = 20;

QString FromModel(const std::string& ansi) { return QString::fromStdString(Cp1250::ToUtf8(ansi)); }

std::string ToModel(const QString& text, size_t width)
{
    return Cp1250::Fit(Cp1250::FromUtf8(text.toStdString()), width);
}

// Focus that goes to another control of the same dialog; a popup list or
// menu, or another window becoming active, is no exit from the control.
bool IsExit(QEvent* focusOut, const QWidget* dialog)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(focusOut)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
    const QWidget* to = QApplication::focusWidget();
    return !to || to->window() == dialog;
}

bool AllDigits(const QString& text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Add and Delete reach almost to the page's edge: "Hozzáad" and "Löschen"
// need the room beside their glyphs.
int AddWidth(int pageWidth) { return pageWidth - 249; }

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength, QRect geometry)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    e->setText(text);
    e->setGeometry(geometry);
    return e;
}

}  // namespace

ConnectionDialog::ConnectionDialog(QWidget* owner, LanguageChanger& language, PylonConfig& model, PortList ports)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), model_(model),
      ports_(ports ? std::move(ports) : PortList(&SerialPort::ExistingPorts))
{
    setObjectName(QStringLiteral("FLumarqNetworkSettings"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("Ustawienia połączeń"));
    setFixedSize(ClientWidth, ClientHeight);

    PageIcons = {style()->standardIcon(QStyle::SP_ComputerIcon), style()->standardIcon(QStyle::SP_DriveNetIcon)};

    const int barHeight = 40;
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("pc"));
    Pages->setGeometry(0, 0, ClientWidth, ClientHeight - barHeight);
    LanPage = new QWidget;
    LanPage->setObjectName(QStringLiteral("tbLAN"));
    SerialPage = new QWidget;
    SerialPage->setObjectName(QStringLiteral("tbCOM"));
    Pages->addTab(LanPage, PageIcons[1], QStringLiteral("LAN"));
    Pages->addTab(SerialPage, QStringLiteral("COM"));

    // LAN page: the entry fields above, the list of pylons below.
    const int pageWidth = ClientWidth - 8;
    const int upperHeight = 104;
    PylonPanel = new QFrame(LanPage);
    PylonPanel->setObjectName(QStringLiteral("Panel1"));
    PylonPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PylonPanel->setGeometry(0, 0, pageWidth, upperHeight);
    NameLabel = MakeLabel(PylonPanel, "Label2", QStringLiteral("Nazwa"), QRect(8, 6, 150, 16));
    NameEdit = MakeEdit(PylonPanel, "EName", QString(), 20, QRect(8, 22, 156, 22));
    AddressLabel = MakeLabel(PylonPanel, "Label7", QStringLiteral("Adres IP"), QRect(8, 52, 156, 16));
    QLineEdit** octets[4] = {&AddressEdit1, &AddressEdit2, &AddressEdit3, &AddressEdit4};
    const char* octetNames[4] = {"EIP1", "EIP2", "EIP3", "EIP4"};
    const char* octetTexts[4] = {"192", "168", "0", "11"};
    for (int i = 0; i < 4; ++i) {
        *octets[i] =
            MakeEdit(PylonPanel, octetNames[i], QLatin1String(octetTexts[i]), 3, QRect(8 + i * 40, 68, 34, 22));
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), PylonPanel);
            dot->setGeometry(42 + i * 40, 68, 6, 22);
            dot->setAlignment(Qt::AlignCenter);
        }
    }
    ActiveBox = MakeCheckBox(PylonPanel, "CBState", QStringLiteral("Aktywny"), QRect(176, 22, 70, 22));
    ActiveBox->setChecked(true);
    PortLabel = MakeLabel(PylonPanel, "Label1", QStringLiteral("Port"), QRect(176, 52, 70, 16));
    PortEdit = MakeEdit(PylonPanel, "EPort", QStringLiteral("2101"), 5, QRect(176, 68, 60, 22));
    AddButton =
        MakeButton(PylonPanel, "SBAdd", QStringLiteral("Dodaj"), style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                   QRect(248, 20, AddWidth(pageWidth), 26));
    DeleteButton = MakeButton(PylonPanel, "SBSub", QStringLiteral("Usuń"), style()->standardIcon(QStyle::SP_TrashIcon),
                              QRect(248, 66, AddWidth(pageWidth), 26));

    for (QLineEdit* e : {AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4, PortEdit}) {
        e->setProperty("Tag", 0);
        e->installEventFilter(this);
    }
    for (QLineEdit* e : {AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4})
        connect(e, &QLineEdit::textChanged, this, [this, e] { AddressChanged(e); });
    connect(PortEdit, &QLineEdit::textChanged, this, &ConnectionDialog::PortChanged);

    PylonGrid = new StringGrid(ColCount, LanPage);
    PylonGrid->setObjectName(QStringLiteral("SGTable"));
    auto* lanLayout = new QVBoxLayout(LanPage);
    lanLayout->setContentsMargins(0, 0, 0, 0);
    lanLayout->setSpacing(2);
    PylonPanel->setFixedHeight(upperHeight);
    lanLayout->addWidget(PylonPanel);
    lanLayout->addWidget(PylonGrid, 1);
    for (int c = 0; c < ColCount; ++c) PylonGrid->setColumnWidth(c, 76);
    // The address column takes the widest address there is.
    const int address = QFontMetrics(PylonGrid->font()).horizontalAdvance(QStringLiteral("255.255.255.255"));
    PylonGrid->setColumnWidth(ColIP, qMax(76, address + 8));
    PylonGrid->OnDrawCell = [this](QPainter& p, int col, int row, const QRect& rect, bool selected) {
        DrawGridCell(p, col, row, rect, selected);
    };
    PylonGrid->installEventFilter(this);
    connect(PylonGrid, &StringGrid::MouseUp, this, &ConnectionDialog::GridMouseUp);
    // The in-place list is not part of the grid; it would stay behind a scroll.
    connect(PylonGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, &ConnectionDialog::StateComboLeft);
    connect(PylonGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ConnectionDialog::StateComboLeft);

    // COM page.
    UseSerialBox =
        MakeCheckBox(SerialPage, "chbUseCOM", QStringLiteral("Użyj portu COM do wysyłania i odbierania danych"),
                     QRect(8, 12, pageWidth - 16, 22));
    SerialPortLabel = MakeLabel(SerialPage, "Label4", QStringLiteral("Port"), QRect(8, 50, 80, 22));
    SerialPortBox = new QComboBox(SerialPage);
    SerialPortBox->setObjectName(QStringLiteral("cbCom"));
    SerialPortBox->setGeometry(96, 48, 140, 26);
    SpeedLabel = MakeLabel(SerialPage, "Label3", QStringLiteral("Prędkość"), QRect(8, 86, 80, 22));
    SpeedBox = new QComboBox(SerialPage);
    SpeedBox->setObjectName(QStringLiteral("cbComSpeed"));
    SpeedBox->setGeometry(96, 84, 140, 26);

    ButtonPanel = new QFrame(this);
    ButtonPanel->setObjectName(QStringLiteral("Panel2"));
    ButtonPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ButtonPanel->setGeometry(0, ClientHeight - barHeight, ClientWidth, barHeight);
    OkButton = MakeButton(ButtonPanel, "SBOK", QStringLiteral("OK"), style()->standardIcon(QStyle::SP_DialogOkButton),
                          QRect(ClientWidth - 196, 6, 92, 28));
    CancelButton =
        MakeButton(ButtonPanel, "SBAbort", QStringLiteral("Anuluj"),
                   style()->standardIcon(QStyle::SP_DialogCancelButton), QRect(ClientWidth - 100, 6, 92, 28));

    connect(OkButton, &QToolButton::clicked, this, &ConnectionDialog::OkClicked);
    connect(CancelButton, &QToolButton::clicked, this, &ConnectionDialog::CancelClicked);
    connect(AddButton, &QToolButton::clicked, this, &ConnectionDialog::AddClicked);
    connect(DeleteButton, &QToolButton::clicked, this, &ConnectionDialog::DeleteClicked);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    NameLabel->setBuddy(NameEdit);
    AddressLabel->setBuddy(AddressEdit1);
    PortLabel->setBuddy(PortEdit);
    SerialPortLabel->setBuddy(SerialPortBox);
    SpeedLabel->setBuddy(SpeedBox);
    NameFromBuddies(this);
    QLineEdit* const ipEdits[] = {AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4};
    for (int i = 0; i < 4; ++i)
        ipEdits[i]->setAccessibleName(AddressLabel->text() + QLatin1Char(' ') + QString::number(i + 1));
    Pages->setAccessibleName(Pages->tabText(0) + QStringLiteral(" / ") + Pages->tabText(1));
    Pages->tabBar()->setAccessibleName(Pages->accessibleName());
    PylonGrid->setAccessibleName(Pages->tabText(0));
    for (QLineEdit* e : {NameEdit, AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4, PortEdit})
        RefuseAltTyping(e);
    SetTabChain({Pages->tabBar(), NameEdit, AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4, ActiveBox, PortEdit,
                 AddButton, DeleteButton, PylonGrid, UseSerialBox, SerialPortBox, SpeedBox, OkButton, CancelButton});
    AddButton->setFocusPolicy(Qt::TabFocus);
    DeleteButton->setFocusPolicy(Qt::TabFocus);
    SetDialogKeys(this, OkButton, CancelButton);
    // The values the fields open with are accepted values: a keystroke that
    // goes out of range puts them back, not 0.
    for (QLineEdit* e : {AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4, PortEdit})
        if (!e->text().isEmpty() && AllDigits(e->text())) e->setProperty("Tag", e->text().toInt());

    for (int c = 0; c < ColCount; ++c) PylonGrid->SetCell(c, 0, MsgText(MsgHeadings + c));
    SelectedRow = 1;
    FillSerialPorts();
    SpeedBox->addItem(QStringLiteral("2400"), Speed2400);
    SpeedBox->addItem(QStringLiteral("9600"), Speed9600);
    Pages->setCurrentIndex(0);
}

ConnectionDialog::~ConnectionDialog() { delete StateCombo; }

void ConnectionDialog::FillSerialPorts()
{
    for (const std::string& name : ports_()) {
        const QString text = FromModel(name);
        SerialPortBox->addItem(text, text);
    }
    if (SerialPortBox->count() > 0) SerialPortBox->setCurrentIndex(0);
}

void ConnectionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) PrepareToShow();
}

void ConnectionDialog::PrepareToShow()
{
    try {
        StateItems = QStringList{MsgText(MsgActive), MsgText(MsgInactive)};
        delete StateCombo;
        StateCombo = nullptr;
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("StateCombo"));
        combo->addItems(StateItems);
        combo->setCurrentIndex(0);
        combo->hide();
        combo->installEventFilter(this);
        connect(combo, &QComboBox::activated, this, &ConnectionDialog::StateChanged);
        StateCombo = combo;
    } catch (const std::bad_alloc&) {
        ShowWarningBox(MsgText(MsgMemoryError), MB_ICONEXCLAMATION);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }

    PylonGrid->SetRowCount(1);
    int row = 1;
    for (const PylonConfig::NetworkPylon& entry : model_.NetSettings) {
        PylonGrid->SetRowCount(row + 1);
        PylonGrid->SetCell(ColName, row, FromModel(entry.Name));
        PylonGrid->SetCell(ColIP, row, FromModel(entry.IP));
        PylonGrid->SetCell(ColPort, row, QString::number(entry.Port));
        PylonGrid->SetCell(ColState, row, entry.Active ? MsgText(MsgActive) : MsgText(MsgInactive));
        ++row;
    }
    if (PylonGrid->RowCount() > 1) PylonGrid->selectRow(1);

    UseSerialBox->setChecked(model_.UseCOM);
    if (!model_.ComName.empty()) {
        // A stored port that is not there now (an unplugged adapter, a
        // pseudo-terminal) stays offered, so that OK does not replace it.
        const QString stored = FromModel(model_.ComName);
        int i = SerialPortBox->findText(stored);
        if (i < 0) {
            SerialPortBox->addItem(stored, stored);
            i = SerialPortBox->count() - 1;
        }
        SerialPortBox->setCurrentIndex(i);
    }
    const int speed = model_.ComSpeed == 0 ? Speed9600 : model_.ComSpeed;
    SpeedBox->setCurrentIndex(SpeedBox->findData(speed));

    NameEdit->setText(QStringLiteral("Pylon ") + QString::number(model_.NetSettings.size() + 1));
}

void ConnectionDialog::PrepareToClose()
{
    StateItems.clear();
    if (StateCombo) {
        StateCombo->hide();
        StateCombo->deleteLater();
        StateCombo = nullptr;
    }
}

void ConnectionDialog::done(int result)
{
    PrepareToClose();
    QDialog::done(result);
}

// ---------------------------------------------------------------- address and port edits

bool ConnectionDialog::IsNumberEdit(QObject* o) const
{
    return o == AddressEdit1 || o == AddressEdit2 || o == AddressEdit3 || o == AddressEdit4 || o == PortEdit;
}

bool ConnectionDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (IsNumberEdit(watched)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        switch (event->type()) {
        case QEvent::KeyPress: {
            // Digits and backspace only; keys without a character (arrows,
            // Delete) and control shortcuts go on as usual.
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!text.isEmpty() && text[0] >= QLatin1Char(' ') && text[0] != QChar(0x7F) &&
                (text[0] < QLatin1Char('0') || text[0] > QLatin1Char('9')))
                return true;
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) AddressClicked(edit);
            break;
        case QEvent::FocusOut:
            if (IsExit(event, this)) AddressLeft(edit);
            break;
        default: break;
        }
    } else if (watched == PylonGrid && event->type() == QEvent::FocusOut) {
        if (IsExit(event, this) && QApplication::focusWidget() != StateCombo) GridLeft();
    } else if (StateCombo && watched == StateCombo && event->type() == QEvent::FocusOut) {
        if (IsExit(event, this)) StateComboLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void ConnectionDialog::LimitNumber(QLineEdit* edit, long limit)
{
    const QString text = edit->text();
    if (text.isEmpty()) return;
    // Only pasting can bring other characters than digits; they are refused
    // like a value out of range.
    if (!AllDigits(text) || text.toLong() > limit) {
        edit->setText(QString::number(edit->property("Tag").toInt()));
        return;  // the change that brings runs this again and keeps the Tag
    }
    edit->setProperty("Tag", static_cast<int>(text.toLong()));
}

void ConnectionDialog::AddressChanged(QLineEdit* edit) { LimitNumber(edit, OctetLimit); }

void ConnectionDialog::PortChanged() { LimitNumber(PortEdit, PortLimit); }

void ConnectionDialog::AddressClicked(QLineEdit* edit) { edit->selectAll(); }

void ConnectionDialog::AddressLeft(QLineEdit* edit)
{
    if (edit->text().isEmpty()) edit->setText(QStringLiteral("0"));
}

// ---------------------------------------------------------------- the list of pylons

void ConnectionDialog::ProposeName()
{
    NameEdit->setText(QStringLiteral("Pylon ") + QString::number(PylonGrid->RowCount()));
}

void ConnectionDialog::AddClicked()
{
    // The button takes no focus, so an edit left empty has not had its exit
    // yet: it counts as the "0" leaving it would give.
    for (QLineEdit* e : {AddressEdit1, AddressEdit2, AddressEdit3, AddressEdit4, PortEdit}) AddressLeft(e);
    StateComboLeft();

    const QString address = AddressEdit1->text() + QLatin1Char('.') + AddressEdit2->text() + QLatin1Char('.') +
                            AddressEdit3->text() + QLatin1Char('.') + AddressEdit4->text();
    bool exists = false;
    for (int r = 1; r < PylonGrid->RowCount(); ++r)
        if (PylonGrid->Cell(ColIP, r) == address) exists = true;
    if (exists) {
        ShowWarningBox(MsgText(MsgIpExists), MB_ICONEXCLAMATION);
    } else {
        const int row = PylonGrid->RowCount();
        PylonGrid->SetRowCount(row + 1);
        PylonGrid->SetCell(ColName, row, NameEdit->text());
        PylonGrid->SetCell(ColIP, row, address);
        PylonGrid->SetCell(ColPort, row, PortEdit->text());
        PylonGrid->SetCell(ColState, row, ActiveBox->isChecked() ? MsgText(MsgActive) : MsgText(MsgInactive));
        if (row == 1) PylonGrid->selectRow(1);
    }
    ProposeName();
}

void ConnectionDialog::DeleteClicked()
{
    StateComboLeft();
    const int last = PylonGrid->RowCount() - 1;
    // The heading row is never removed.
    if (SelectedRow > 0 && last > 0) {
        const int current = PylonGrid->currentRow();
        PylonGrid->removeRow(std::min(SelectedRow, last));
        const int rows = PylonGrid->RowCount();
        if (rows > 1) PylonGrid->selectRow(std::clamp(current, 1, rows - 1));
        PylonGrid->viewport()->update();
    }
    ProposeName();
}

void ConnectionDialog::GridMouseUp(QPoint at)
{
    int col = -1, row = -1;
    PylonGrid->MouseToCell(at, col, row);
    EditCol = col;
    EditRow = row;
    SelectedRow = row;
    if (StateCombo) StateCombo->hide();
    // Only a State cell of a pylon row opens the list; below the last row
    // there is no cell to edit.
    if (col == ColState && row > 0 && StateCombo) {
        PlaceStateCombo(col, row);
        StateCombo->showPopup();
    }
}

void ConnectionDialog::PlaceStateCombo(int col, int row)
{
    if (!StateCombo) return;
    const QRect cell = PylonGrid->CellRect(col, row);
    StateCombo->hide();
    const QPoint grid = PylonGrid->mapTo(this, QPoint(0, 0));
    const int top = grid.y() + cell.top() - 1;
    const int left = grid.x() + cell.left() - 1;
    const int width = cell.width() + 2;
    // A drop-down list is as tall as its font makes it, like the original's.
    const int height = std::max(cell.height() - 3, StateCombo->sizeHint().height());
    StateCombo->setGeometry(left, top, width, height);
    StateCombo->raise();
    StateCombo->show();
}

void ConnectionDialog::StateChanged()
{
    if (!StateCombo) return;
    if (EditRow > 0 && EditRow < PylonGrid->RowCount() && EditCol >= 0 && EditCol < ColCount)
        PylonGrid->SetCell(EditCol, EditRow, StateCombo->currentText());
    StateCombo->hide();
}

void ConnectionDialog::StateComboLeft()
{
    if (StateCombo) StateCombo->hide();
}

void ConnectionDialog::GridLeft() { StateComboLeft(); }

void ConnectionDialog::DrawGridCell(QPainter& painter, int, int row, const QRect& rect, bool selected)
{
    QColor background = PylonGrid->palette().color(QPalette::Base);
    QColor text = PylonGrid->palette().color(QPalette::Text);
    QFont font = PylonGrid->font();
    // Stems on whole pixels: the cell colours stay exact, as the design's grid drew them.
    font.setHintingPreference(QFont::PreferFullHinting);
    if (selected && row > 0) {
        background = ColorFromBgr(SelectedBackground);
        text = ColorFromBgr(SelectedText);
    }
    if (row == 0) {
        font.setBold(true);
        font.setPointSize(8);
        text = Qt::white;
        background = ColorFromBgr(HeadingBackground);
    }
    painter.fillRect(rect, background);
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(text);
    const QFontMetrics metrics(font);
    const int col = PylonGrid->columnAt(rect.center().x());
    painter.drawText(QPoint(rect.left() + 3, rect.top() + 2 + metrics.ascent()), PylonGrid->Cell(col, row));
}

// ---------------------------------------------------------------- closing

void ConnectionDialog::OkClicked()
{
    if (UseSerialBox->isChecked() && SerialPortBox->currentIndex() < 0) {
        ShowPlainMessage(QStringLiteral("com error"));
        return;
    }
    model_.UseCOM = UseSerialBox->isChecked();
    model_.ComName = ToModel(SerialPortBox->currentText(), PortNameWidth);
    const QVariant speed = SpeedBox->currentData();
    model_.ComSpeed = static_cast<int8_t>(speed.isValid() ? speed.toInt() : 0);

    model_.NetSettings.clear();
    for (int r = 1; r < PylonGrid->RowCount(); ++r) {
        PylonConfig::NetworkPylon entry;
        entry.Name = ToModel(PylonGrid->Cell(ColName, r), NameWidth);
        entry.IP = ToModel(PylonGrid->Cell(ColIP, r), AddressWidth);
        entry.Port = PylonGrid->Cell(ColPort, r).toInt();
        entry.Active = PylonGrid->Cell(ColState, r) == MsgText(MsgActive);
        model_.NetSettings.push_back(entry);
    }
    accept();
}

void ConnectionDialog::CancelClicked() { reject(); }
