#include "ui/comm/ServiceWindow.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QValidator>

#include "comm/SerialPortError.h"
#include "comm/ProgressLog.h"
#include "comm/ServiceCommands.h"
#include "comm/ServicePassword.h"
#include "ui/comm/TransferRunner.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/DataModule.h"
#include "model/Cp1250.h"
#include "ui/common/DialogParts.h"

namespace {

constexpr int WarningStyle = 48;
// The glyph of the Send command in the shared 16 x 16 images.
constexpr int SendGlyph = 6;

// The password edit takes what is typed in capitals, as the passwords have no
// lower-case letters.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

QFrame* MakePanel(QWidget* parent, const char* name)
{
    auto* p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    return p;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setGeometry(geometry);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

QComboBox* MakeList(QWidget* parent, const char* name, int index, QRect geometry)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    for (int i = 1; i <= 6; ++i) c->addItem(QString::number(i));
    c->setCurrentIndex(index);
    c->setGeometry(geometry);
    return c;
}

}  // namespace

ServiceWindow::ServiceWindow(QWidget* owner, int passwordMode, DataModule& dm, PylonConfig& model, PylonLink& link,
                             ProgressLog& log, DateSource today, Waiter& waiter)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), passwordMode_(passwordMode),
      model_(model), link_(link), log_(log), today_(std::move(today)), waiter_(waiter)
{
    setObjectName(QStringLiteral("FServiceOptions"));
    setWindowTitle(QStringLiteral("Opcje serwisowe"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);

    WarningPanel = MakePanel(this, "PInfo");
    WarningLabel = MakeLabel(WarningPanel, "Label2", QStringLiteral("UWAGA: Opcje serwisowe Lumarq Technology"),
                             QRect(8, 8, ClientWidth - 16, InfoHeight - 16));
    WarningLabel->setAlignment(Qt::AlignCenter);
    WarningLabel->setWordWrap(true);
    QFont warnFont = WarningLabel->font();
    warnFont.setBold(true);
    warnFont.setPixelSize(13);
    WarningLabel->setFont(warnFont);
    QPalette warnPal = WarningLabel->palette();
    warnPal.setColor(QPalette::WindowText, Qt::red);
    WarningLabel->setPalette(warnPal);

    PasswordPanel = MakePanel(this, "PPassword");
    PasswordLabel = MakeLabel(PasswordPanel, "LPass", QStringLiteral("Podaj hasło:"), QRect(16, 10, 200, 18));
    PasswordEdit = new QLineEdit(PasswordPanel);
    PasswordEdit->setObjectName(QStringLiteral("EPassword"));
    PasswordEdit->setGeometry(16, 32, 200, 34);
    PasswordEdit->setMaxLength(ServicePassword::MaxLength);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setValidator(new UpperCaseValidator(PasswordEdit));
    QFont passFont = PasswordEdit->font();
    passFont.setBold(true);
    passFont.setPixelSize(20);
    PasswordEdit->setFont(passFont);
    PasswordEdit->installEventFilter(this);
    PasswordOkButton = MakeButton(PasswordPanel, "SBOKPass", QStringLiteral("OK"), QRect(224, 32, 83, 34));

    ServicePanel = MakePanel(this, "PServise");
    DigitsLabel = MakeLabel(ServicePanel, "Linfo1", QStringLiteral("Ilość cyfr w cenie:"), QRect(16, 14, 176, 18));
    DigitsList = MakeList(ServicePanel, "CBList1", 2, QRect(200, 10, 107, 24));
    LinesLabel = MakeLabel(ServicePanel, "LInfo2", QStringLiteral("Ilość cen:"), QRect(16, 46, 176, 18));
    LinesList = MakeList(ServicePanel, "CBList2", 3, QRect(200, 42, 107, 24));
    SendButton = new QToolButton(ServicePanel);
    SendButton->setObjectName(QStringLiteral("SBSendConfiguration"));
    SendButton->setGeometry(16, 76, ClientWidth - 32, 40);
    SendButton->setToolTip(QStringLiteral("Wyślij"));
    SendButton->setIcon(dm.Glyphs.size() > SendGlyph ? dm.Glyphs[SendGlyph]
                                                     : style()->standardIcon(QStyle::SP_ArrowRight));
    SendButton->setIconSize(QSize(32, 32));
    AllLedsButton = MakeButton(ServicePanel, "SpeedButton2", QStringLiteral("Włącz wszystkie diody"),
                               QRect(16, 128, ClientWidth - 32, 32));
    AddressesButton =
        MakeButton(ServicePanel, "SpeedButton3", QStringLiteral("Pokaż adresy"), QRect(16, 166, ClientWidth - 32, 32));
    FirmwareButton = MakeButton(ServicePanel, "SpeedButton4", QStringLiteral("Pokaż firmware"),
                                QRect(16, 204, ClientWidth - 32, 32));
    EndTestsButton =
        MakeButton(ServicePanel, "SpeedButton5", QStringLiteral("Zakończ testy"), QRect(16, 242, ClientWidth - 32, 32));
    CloseButton =
        MakeButton(ServicePanel, "SpeedButton1", QStringLiteral("Zamknij okno"), QRect(16, 284, ClientWidth - 32, 32));
    AllLedsButton->setProperty("Tag", ServiceCommands::AllLedsOn);
    AddressesButton->setProperty("Tag", ServiceCommands::ShowAddresses);
    FirmwareButton->setProperty("Tag", ServiceCommands::ShowFirmware);
    EndTestsButton->setProperty("Tag", ServiceCommands::EndTests);
    ServicePanel->setVisible(false);

    connect(PasswordOkButton, &QToolButton::clicked, this, &ServiceWindow::PasswordOkClicked);
    connect(PasswordEdit, &QLineEdit::returnPressed, this, &ServiceWindow::PasswordKeyPressed);
    connect(SendButton, &QToolButton::clicked, this, &ServiceWindow::SendClicked);
    for (QToolButton* b : {AllLedsButton, AddressesButton, FirmwareButton, EndTestsButton})
        connect(b, &QToolButton::clicked, this, &ServiceWindow::TestClicked);
    connect(CloseButton, &QToolButton::clicked, this, &ServiceWindow::CloseClicked);

    SerialLine.OnBeforeOpen = [this] { PortOpening(); };
    SerialLine.OnAfterOpen = [this] { PortOpened(); };
    SerialLine.OnBeforeClose = [this] { PortClosing(); };
    SerialLine.OnAfterClose = [this] { PortClosed(); };

    LayOutPanels();
    CentreOnScreen();
    PasswordEdit->setFocus();
    dm.Changer.Translate(this, objectName(), QString(), 0);
}

ServiceWindow::~ServiceWindow()
{
    // A port that an error left open is closed here, and says so in the log.
    try {
        SerialLine.Close();
    } catch (const SerialPortError&) {}
}

void ServiceWindow::LayOutPanels()
{
    const int serviceHeight = ServicePanel->isVisibleTo(this) ? ServiceHeight : 0;
    WarningPanel->setGeometry(0, 0, ClientWidth, InfoHeight);
    PasswordPanel->setGeometry(0, InfoHeight, ClientWidth, ClientHeight - InfoHeight - serviceHeight);
    ServicePanel->setGeometry(0, ClientHeight - ServiceHeight, ClientWidth, ServiceHeight);
}

void ServiceWindow::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void ServiceWindow::PasswordOkClicked()
{
    if (unlocked_) return;
    const QDate day = today_ ? today_() : QDate::currentDate();
    const std::chrono::year_month_day ymd{std::chrono::year{day.year()}, std::chrono::month{unsigned(day.month())},
                                          std::chrono::day{unsigned(day.day())}};
    if (day.isValid() && ServicePassword::Accepts(passwordMode_, ymd, PasswordEdit->text().toStdString())) {
        unlocked_ = true;
        PasswordLabel->setEnabled(false);
        PasswordEdit->setEnabled(false);
        PasswordOkButton->setEnabled(false);
        ServicePanel->setVisible(true);
        LayOutPanels();
        return;
    }
    ShowWarningBox(MsgText(MsgWrongPassword), WarningStyle);
    PasswordEdit->selectAll();
    PasswordEdit->setFocus();
}

void ServiceWindow::PasswordKeyPressed() { PasswordOkClicked(); }

void ServiceWindow::PasswordClicked() { PasswordEdit->selectAll(); }

bool ServiceWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Selecting on release: the press has already placed the cursor.
    if (watched == PasswordEdit && event->type() == QEvent::MouseButtonRelease) PasswordClicked();
    return QDialog::eventFilter(watched, event);
}

void ServiceWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window behind the operator's back; Enter
    // belongs to the password edit.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ServiceWindow::SendClicked()
{
    if (!unlocked_) return;
    // Byte 0 is the number of prices, byte 1 the digits per price, each less one.
    const uint8_t prices = uint8_t(LinesList->currentIndex()), digits = uint8_t(DigitsList->currentIndex());
    TransferRunner::Run(CommandEnv(), [=](PylonCommandEnv& env) { ServiceCommands(env).SendSettings(prices, digits); });
}

PylonCommandEnv ServiceWindow::CommandEnv()
{
    return {model_,
            link_,
            SerialLine,
            log_,
            waiter_,
            [](const std::string& text, int style) { ShowWarningBox(ToQString(text), style); },
            [](const std::string& text) { ShowErrorBox(ToQString(text)); },
            {},
            Recorder};
}

void ServiceWindow::RunTest(uint8_t code)
{
    TransferRunner::Run(CommandEnv(), [code](PylonCommandEnv& env) { ServiceCommands(env).RunTest(code); });
}

void ServiceWindow::TestClicked()
{
    if (!unlocked_) return;
    const QObject* button = sender();
    if (!button) return;
    RunTest(uint8_t(button->property("Tag").toInt()));
}

void ServiceWindow::CloseClicked()
{
    if (!unlocked_) return;
    RunTest(ServiceCommands::EndTests);
    close();
}

void ServiceWindow::LogPort(int msg) { log_.AppendLine(Msg[msg] + " " + Cp1250::ToUtf8(SerialLine.Port())); }

void ServiceWindow::PortOpening() { LogPort(MsgOpeningPort); }
void ServiceWindow::PortOpened() { LogPort(MsgOpenedPort); }
void ServiceWindow::PortClosing() { LogPort(MsgClosingPort); }
void ServiceWindow::PortClosed() { LogPort(MsgClosedPort); }
