#include "ui/dialogs/TFLumarqNetworkSettings.h"

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

#include "comm/TComPort.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/TLanguageChanger.h"
#include "model/Cp1250.h"
#include "model/K_PYLON.h"
#include "ui/common/CentreOnScreen.h"
#include "ui/dialogs/BgrColor.h"
#include "ui/dialogs/TStringGrid.h"
#include "ui/common/DesignFont.h"
#include "ui/common/DialogKeys.h"
#include "ui/common/DialogParts.h"
#include "ui/common/Keyboard.h"

TFLumarqNetworkSettings* FLumarqNetworkSettings = nullptr;

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

QString FromModel(const std::string& ansi)
{
    return QString::fromStdString(Cp1250::ToUtf8(ansi));
}

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
int AddWidth(int pageWidth)
{
    return pageWidth - 249;
}

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

TFLumarqNetworkSettings::TFLumarqNetworkSettings(QWidget* owner, TLanguageChanger& language, K_PYLON& model,
                                                 PortList ports)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(model),
      ports_(ports ? std::move(ports) : PortList(&TComPort::ExistingPorts))
{
    setObjectName(QStringLiteral("FLumarqNetworkSettings"));
    setFont(DesignFont());
    setWindowTitle(QStringLiteral("Ustawienia połączeń"));
    setFixedSize(ClientWidth, ClientHeight);

    ImageList = {style()->standardIcon(QStyle::SP_ComputerIcon), style()->standardIcon(QStyle::SP_DriveNetIcon)};

    const int barHeight = 40;
    pc = new QTabWidget(this);
    pc->setObjectName(QStringLiteral("pc"));
    pc->setGeometry(0, 0, ClientWidth, ClientHeight - barHeight);
    tbLAN = new QWidget;
    tbLAN->setObjectName(QStringLiteral("tbLAN"));
    tbCOM = new QWidget;
    tbCOM->setObjectName(QStringLiteral("tbCOM"));
    pc->addTab(tbLAN, ImageList[1], QStringLiteral("LAN"));
    pc->addTab(tbCOM, QStringLiteral("COM"));

    // LAN page: the entry fields above, the list of pylons below.
    const int pageWidth = ClientWidth - 8;
    const int upperHeight = 104;
    Panel1 = new QFrame(tbLAN);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, pageWidth, upperHeight);
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("Nazwa"), QRect(8, 6, 150, 16));
    EName = MakeEdit(Panel1, "EName", QString(), 20, QRect(8, 22, 156, 22));
    Label7 = MakeLabel(Panel1, "Label7", QStringLiteral("Adres IP"), QRect(8, 52, 156, 16));
    QLineEdit** octets[4] = {&EIP1, &EIP2, &EIP3, &EIP4};
    const char* octetNames[4] = {"EIP1", "EIP2", "EIP3", "EIP4"};
    const char* octetTexts[4] = {"192", "168", "0", "11"};
    for (int i = 0; i < 4; ++i) {
        *octets[i] = MakeEdit(Panel1, octetNames[i], QLatin1String(octetTexts[i]), 3,
                              QRect(8 + i * 40, 68, 34, 22));
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), Panel1);
            dot->setGeometry(42 + i * 40, 68, 6, 22);
            dot->setAlignment(Qt::AlignCenter);
        }
    }
    CBState = MakeCheckBox(Panel1, "CBState", QStringLiteral("Aktywny"), QRect(176, 22, 70, 22));
    CBState->setChecked(true);
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("Port"), QRect(176, 52, 70, 16));
    EPort = MakeEdit(Panel1, "EPort", QStringLiteral("2101"), 5, QRect(176, 68, 60, 22));
    SBAdd = MakeButton(Panel1, "SBAdd", QStringLiteral("Dodaj"), style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                       QRect(248, 20, AddWidth(pageWidth), 26));
    SBSub = MakeButton(Panel1, "SBSub", QStringLiteral("Usuń"), style()->standardIcon(QStyle::SP_TrashIcon),
                       QRect(248, 66, AddWidth(pageWidth), 26));

    for (QLineEdit* e : {EIP1, EIP2, EIP3, EIP4, EPort}) {
        e->setProperty("Tag", 0);
        e->installEventFilter(this);
    }
    for (QLineEdit* e : {EIP1, EIP2, EIP3, EIP4})
        connect(e, &QLineEdit::textChanged, this, [this, e] { EIP1Change(e); });
    connect(EPort, &QLineEdit::textChanged, this, &TFLumarqNetworkSettings::EPortChange);

    SGTable = new TStringGrid(ColCount, tbLAN);
    SGTable->setObjectName(QStringLiteral("SGTable"));
    auto* lanLayout = new QVBoxLayout(tbLAN);
    lanLayout->setContentsMargins(0, 0, 0, 0);
    lanLayout->setSpacing(2);
    Panel1->setFixedHeight(upperHeight);
    lanLayout->addWidget(Panel1);
    lanLayout->addWidget(SGTable, 1);
    for (int c = 0; c < ColCount; ++c) SGTable->setColumnWidth(c, 76);
    // The address column takes the widest address there is.
    const int address = QFontMetrics(SGTable->font()).horizontalAdvance(QStringLiteral("255.255.255.255"));
    SGTable->setColumnWidth(ColIP, qMax(76, address + 8));
    SGTable->OnDrawCell = [this](QPainter& p, int col, int row, const QRect& rect, bool selected) {
        SGTableDrawCell(p, col, row, rect, selected);
    };
    SGTable->installEventFilter(this);
    connect(SGTable, &TStringGrid::MouseUp, this, &TFLumarqNetworkSettings::SGTableMouseUp);
    // The in-place list is not part of the grid; it would stay behind a scroll.
    connect(SGTable->verticalScrollBar(), &QScrollBar::valueChanged, this, &TFLumarqNetworkSettings::StateComboExit);
    connect(SGTable->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TFLumarqNetworkSettings::StateComboExit);

    // COM page.
    chbUseCOM = MakeCheckBox(tbCOM, "chbUseCOM", QStringLiteral("Użyj portu COM do wysyłania i odbierania danych"),
                             QRect(8, 12, pageWidth - 16, 22));
    Label4 = MakeLabel(tbCOM, "Label4", QStringLiteral("Port"), QRect(8, 50, 80, 22));
    cbCom = new QComboBox(tbCOM);
    cbCom->setObjectName(QStringLiteral("cbCom"));
    cbCom->setGeometry(96, 48, 140, 26);
    Label3 = MakeLabel(tbCOM, "Label3", QStringLiteral("Prędkość"), QRect(8, 86, 80, 22));
    cbComSpeed = new QComboBox(tbCOM);
    cbComSpeed->setObjectName(QStringLiteral("cbComSpeed"));
    cbComSpeed->setGeometry(96, 84, 140, 26);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setGeometry(0, ClientHeight - barHeight, ClientWidth, barHeight);
    SBOK = MakeButton(Panel2, "SBOK", QStringLiteral("OK"), style()->standardIcon(QStyle::SP_DialogOkButton),
                      QRect(ClientWidth - 196, 6, 92, 28));
    SBAbort = MakeButton(Panel2, "SBAbort", QStringLiteral("Anuluj"),
                         style()->standardIcon(QStyle::SP_DialogCancelButton), QRect(ClientWidth - 100, 6, 92, 28));

    connect(SBOK, &QToolButton::clicked, this, &TFLumarqNetworkSettings::SBOKClick);
    connect(SBAbort, &QToolButton::clicked, this, &TFLumarqNetworkSettings::SBAbortClick);
    connect(SBAdd, &QToolButton::clicked, this, &TFLumarqNetworkSettings::SBAddClick);
    connect(SBSub, &QToolButton::clicked, this, &TFLumarqNetworkSettings::SBSubClick);

    CentreOnScreen(this);
    language.Translate(this, objectName(), QString(), 0);
    Label2->setBuddy(EName);
    Label7->setBuddy(EIP1);
    Label1->setBuddy(EPort);
    Label4->setBuddy(cbCom);
    Label3->setBuddy(cbComSpeed);
    NameFromBuddies(this);
    QLineEdit* const ipEdits[] = {EIP1, EIP2, EIP3, EIP4};
    for (int i = 0; i < 4; ++i) ipEdits[i]->setAccessibleName(Label7->text() + QLatin1Char(' ') + QString::number(i + 1));
    pc->setAccessibleName(pc->tabText(0) + QStringLiteral(" / ") + pc->tabText(1));
    pc->tabBar()->setAccessibleName(pc->accessibleName());
    SGTable->setAccessibleName(pc->tabText(0));
    for (QLineEdit* e : {EName, EIP1, EIP2, EIP3, EIP4, EPort}) RefuseAltTyping(e);
    SetTabChain({pc->tabBar(), EName, EIP1, EIP2, EIP3, EIP4, CBState, EPort, SBAdd, SBSub, SGTable, chbUseCOM,
                 cbCom, cbComSpeed, SBOK, SBAbort});
    SBAdd->setFocusPolicy(Qt::TabFocus);
    SBSub->setFocusPolicy(Qt::TabFocus);
    SetDialogKeys(this, SBOK, SBAbort);
    // The values the fields open with are accepted values: a keystroke that
    // goes out of range puts them back, not 0.
    for (QLineEdit* e : {EIP1, EIP2, EIP3, EIP4, EPort})
        if (!e->text().isEmpty() && AllDigits(e->text())) e->setProperty("Tag", e->text().toInt());

    for (int c = 0; c < ColCount; ++c) SGTable->SetCell(c, 0, MsgText(MsgHeadings + c));
    SelectedRow = 1;
    FillComPorts();
    cbComSpeed->addItem(QStringLiteral("2400"), Speed2400);
    cbComSpeed->addItem(QStringLiteral("9600"), Speed9600);
    pc->setCurrentIndex(0);
}

TFLumarqNetworkSettings::~TFLumarqNetworkSettings()
{
    delete StateCombo;
}

void TFLumarqNetworkSettings::FillComPorts()
{
    for (const std::string& name : ports_()) {
        const QString text = FromModel(name);
        cbCom->addItem(text, text);
    }
    if (cbCom->count() > 0) cbCom->setCurrentIndex(0);
}

void TFLumarqNetworkSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFLumarqNetworkSettings::FormShow()
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
        connect(combo, &QComboBox::activated, this, &TFLumarqNetworkSettings::StateComboChange);
        StateCombo = combo;
    } catch (const std::bad_alloc&) {
        ShowWarningBox(MsgText(MsgMemoryError), MB_ICONEXCLAMATION);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }

    SGTable->SetRowCount(1);
    int row = 1;
    for (const K_PYLON::tag_IP_SETTINGS& entry : model_.NetSettings) {
        SGTable->SetRowCount(row + 1);
        SGTable->SetCell(ColName, row, FromModel(entry.Name));
        SGTable->SetCell(ColIP, row, FromModel(entry.IP));
        SGTable->SetCell(ColPort, row, QString::number(entry.Port));
        SGTable->SetCell(ColState, row, entry.Active ? MsgText(MsgActive) : MsgText(MsgInactive));
        ++row;
    }
    if (SGTable->RowCount() > 1) SGTable->selectRow(1);

    chbUseCOM->setChecked(model_.UseCOM);
    if (!model_.ComName.empty()) {
        // A stored port that is not there now (an unplugged adapter, a
        // pseudo-terminal) stays offered, so that OK does not replace it.
        const QString stored = FromModel(model_.ComName);
        int i = cbCom->findText(stored);
        if (i < 0) {
            cbCom->addItem(stored, stored);
            i = cbCom->count() - 1;
        }
        cbCom->setCurrentIndex(i);
    }
    const int speed = model_.ComSpeed == 0 ? Speed9600 : model_.ComSpeed;
    cbComSpeed->setCurrentIndex(cbComSpeed->findData(speed));

    EName->setText(QStringLiteral("Pylon ") + QString::number(model_.NetSettings.size() + 1));
}

void TFLumarqNetworkSettings::FormClose()
{
    StateItems.clear();
    if (StateCombo) {
        StateCombo->hide();
        StateCombo->deleteLater();
        StateCombo = nullptr;
    }
}

void TFLumarqNetworkSettings::done(int result)
{
    FormClose();
    QDialog::done(result);
}

// ---------------------------------------------------------------- address and port edits

bool TFLumarqNetworkSettings::IsNumberEdit(QObject* o) const
{
    return o == EIP1 || o == EIP2 || o == EIP3 || o == EIP4 || o == EPort;
}

bool TFLumarqNetworkSettings::eventFilter(QObject* watched, QEvent* event)
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
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) EIP1Click(edit);
            break;
        case QEvent::FocusOut:
            if (IsExit(event, this)) EIP1Exit(edit);
            break;
        default:
            break;
        }
    } else if (watched == SGTable && event->type() == QEvent::FocusOut) {
        if (IsExit(event, this) && QApplication::focusWidget() != StateCombo) SGTableExit();
    } else if (StateCombo && watched == StateCombo && event->type() == QEvent::FocusOut) {
        if (IsExit(event, this)) StateComboExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TFLumarqNetworkSettings::LimitNumber(QLineEdit* edit, long limit)
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

void TFLumarqNetworkSettings::EIP1Change(QLineEdit* edit)
{
    LimitNumber(edit, OctetLimit);
}

void TFLumarqNetworkSettings::EPortChange()
{
    LimitNumber(EPort, PortLimit);
}

void TFLumarqNetworkSettings::EIP1Click(QLineEdit* edit)
{
    edit->selectAll();
}

void TFLumarqNetworkSettings::EIP1Exit(QLineEdit* edit)
{
    if (edit->text().isEmpty()) edit->setText(QStringLiteral("0"));
}

// ---------------------------------------------------------------- the list of pylons

void TFLumarqNetworkSettings::ProposeName()
{
    EName->setText(QStringLiteral("Pylon ") + QString::number(SGTable->RowCount()));
}

void TFLumarqNetworkSettings::SBAddClick()
{
    // The button takes no focus, so an edit left empty has not had its exit
    // yet: it counts as the "0" leaving it would give.
    for (QLineEdit* e : {EIP1, EIP2, EIP3, EIP4, EPort}) EIP1Exit(e);
    StateComboExit();

    const QString address = EIP1->text() + QLatin1Char('.') + EIP2->text() + QLatin1Char('.') + EIP3->text() +
                            QLatin1Char('.') + EIP4->text();
    bool exists = false;
    for (int r = 1; r < SGTable->RowCount(); ++r)
        if (SGTable->Cell(ColIP, r) == address) exists = true;
    if (exists) {
        ShowWarningBox(MsgText(MsgIpExists), MB_ICONEXCLAMATION);
    } else {
        const int row = SGTable->RowCount();
        SGTable->SetRowCount(row + 1);
        SGTable->SetCell(ColName, row, EName->text());
        SGTable->SetCell(ColIP, row, address);
        SGTable->SetCell(ColPort, row, EPort->text());
        SGTable->SetCell(ColState, row, CBState->isChecked() ? MsgText(MsgActive) : MsgText(MsgInactive));
        if (row == 1) SGTable->selectRow(1);
    }
    ProposeName();
}

void TFLumarqNetworkSettings::SBSubClick()
{
    StateComboExit();
    const int last = SGTable->RowCount() - 1;
    // The heading row is never removed.
    if (SelectedRow > 0 && last > 0) {
        const int current = SGTable->currentRow();
        SGTable->removeRow(std::min(SelectedRow, last));
        const int rows = SGTable->RowCount();
        if (rows > 1) SGTable->selectRow(std::clamp(current, 1, rows - 1));
        SGTable->viewport()->update();
    }
    ProposeName();
}

void TFLumarqNetworkSettings::SGTableMouseUp(QPoint at)
{
    int col = -1, row = -1;
    SGTable->MouseToCell(at, col, row);
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

void TFLumarqNetworkSettings::PlaceStateCombo(int col, int row)
{
    if (!StateCombo) return;
    const QRect cell = SGTable->CellRect(col, row);
    StateCombo->hide();
    const QPoint grid = SGTable->mapTo(this, QPoint(0, 0));
    const int top = grid.y() + cell.top() - 1;
    const int left = grid.x() + cell.left() - 1;
    const int width = cell.width() + 2;
    // A drop-down list is as tall as its font makes it, like the original's.
    const int height = std::max(cell.height() - 3, StateCombo->sizeHint().height());
    StateCombo->setGeometry(left, top, width, height);
    StateCombo->raise();
    StateCombo->show();
}

void TFLumarqNetworkSettings::StateComboChange()
{
    if (!StateCombo) return;
    if (EditRow > 0 && EditRow < SGTable->RowCount() && EditCol >= 0 && EditCol < ColCount)
        SGTable->SetCell(EditCol, EditRow, StateCombo->currentText());
    StateCombo->hide();
}

void TFLumarqNetworkSettings::StateComboExit()
{

    if (StateCombo) StateCombo->hide();
}

void TFLumarqNetworkSettings::SGTableExit()
{
    StateComboExit();
}

void TFLumarqNetworkSettings::SGTableDrawCell(QPainter& painter, int, int row, const QRect& rect, bool selected)
{
    QColor background = SGTable->palette().color(QPalette::Base);
    QColor text = SGTable->palette().color(QPalette::Text);
    QFont font = SGTable->font();
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
    const int col = SGTable->columnAt(rect.center().x());
    painter.drawText(QPoint(rect.left() + 3, rect.top() + 2 + metrics.ascent()), SGTable->Cell(col, row));
}

// ---------------------------------------------------------------- closing

void TFLumarqNetworkSettings::SBOKClick()
{
    if (chbUseCOM->isChecked() && cbCom->currentIndex() < 0) {
        ShowPlainMessage(QStringLiteral("com error"));
        return;
    }
    model_.UseCOM = chbUseCOM->isChecked();
    model_.ComName = ToModel(cbCom->currentText(), PortNameWidth);
    const QVariant speed = cbComSpeed->currentData();
    model_.ComSpeed = static_cast<int8_t>(speed.isValid() ? speed.toInt() : 0);

    model_.NetSettings.clear();
    for (int r = 1; r < SGTable->RowCount(); ++r) {
        K_PYLON::tag_IP_SETTINGS entry;
        entry.Name = ToModel(SGTable->Cell(ColName, r), NameWidth);
        entry.IP = ToModel(SGTable->Cell(ColIP, r), AddressWidth);
        entry.Port = SGTable->Cell(ColPort, r).toInt();
        entry.Active = SGTable->Cell(ColState, r) == MsgText(MsgActive);
        model_.NetSettings.push_back(entry);
    }
    accept();
}

void TFLumarqNetworkSettings::SBAbortClick()
{
    reject();
}
