#include "ui/comm/TFServiceOptions.h"

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

#include "comm/EComPort.h"
#include "comm/ProgressLog.h"
#include "comm/ServiceCommands.h"
#include "comm/ServicePassword.h"
#include "ui/comm/TransferRunner.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/QtText.h"
#include "ui/lang/TDM.h"
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

TFServiceOptions::TFServiceOptions(QWidget* owner, int passwordMode, TDM& dm, K_PYLON& model,
                                   K_CONNECTION& link, ProgressLog& log, DateSource today,
                                   Waiter& waiter)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      passwordMode_(passwordMode),
      model_(model),
      link_(link),
      log_(log),
      today_(std::move(today)),
      waiter_(waiter)
{
    setObjectName(QStringLiteral("FServiceOptions"));
    setWindowTitle(QStringLiteral("Opcje serwisowe"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);

    PInfo = MakePanel(this, "PInfo");
    Label2 = MakeLabel(PInfo, "Label2", QStringLiteral("UWAGA: Opcje serwisowe Lumarq Technology"),
                       QRect(8, 8, ClientWidth - 16, InfoHeight - 16));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    QFont warnFont = Label2->font();
    warnFont.setBold(true);
    warnFont.setPixelSize(13);
    Label2->setFont(warnFont);
    QPalette warnPal = Label2->palette();
    warnPal.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(warnPal);

    PPassword = MakePanel(this, "PPassword");
    LPass = MakeLabel(PPassword, "LPass", QStringLiteral("Podaj hasło:"), QRect(16, 10, 200, 18));
    EPassword = new QLineEdit(PPassword);
    EPassword->setObjectName(QStringLiteral("EPassword"));
    EPassword->setGeometry(16, 32, 200, 34);
    EPassword->setMaxLength(ServicePassword::MaxLength);
    EPassword->setEchoMode(QLineEdit::Password);
    EPassword->setValidator(new UpperCaseValidator(EPassword));
    QFont passFont = EPassword->font();
    passFont.setBold(true);
    passFont.setPixelSize(20);
    EPassword->setFont(passFont);
    EPassword->installEventFilter(this);
    SBOKPass = MakeButton(PPassword, "SBOKPass", QStringLiteral("OK"), QRect(224, 32, 83, 34));

    PServise = MakePanel(this, "PServise");
    Linfo1 = MakeLabel(PServise, "Linfo1", QStringLiteral("Ilość cyfr w cenie:"), QRect(16, 14, 176, 18));
    CBList1 = MakeList(PServise, "CBList1", 2, QRect(200, 10, 107, 24));
    LInfo2 = MakeLabel(PServise, "LInfo2", QStringLiteral("Ilość cen:"), QRect(16, 46, 176, 18));
    CBList2 = MakeList(PServise, "CBList2", 3, QRect(200, 42, 107, 24));
    SBSendConfiguration = new QToolButton(PServise);
    SBSendConfiguration->setObjectName(QStringLiteral("SBSendConfiguration"));
    SBSendConfiguration->setGeometry(16, 76, ClientWidth - 32, 40);
    SBSendConfiguration->setToolTip(QStringLiteral("Wyślij"));
    SBSendConfiguration->setIcon(dm.il16x16.size() > SendGlyph ? dm.il16x16[SendGlyph]
                                                               : style()->standardIcon(QStyle::SP_ArrowRight));
    SBSendConfiguration->setIconSize(QSize(32, 32));
    SpeedButton2 = MakeButton(PServise, "SpeedButton2", QStringLiteral("Włącz wszystkie diody"),
                              QRect(16, 128, ClientWidth - 32, 32));
    SpeedButton3 = MakeButton(PServise, "SpeedButton3", QStringLiteral("Pokaż adresy"),
                              QRect(16, 166, ClientWidth - 32, 32));
    SpeedButton4 = MakeButton(PServise, "SpeedButton4", QStringLiteral("Pokaż firmware"),
                              QRect(16, 204, ClientWidth - 32, 32));
    SpeedButton5 = MakeButton(PServise, "SpeedButton5", QStringLiteral("Zakończ testy"),
                              QRect(16, 242, ClientWidth - 32, 32));
    SpeedButton1 = MakeButton(PServise, "SpeedButton1", QStringLiteral("Zamknij okno"),
                              QRect(16, 284, ClientWidth - 32, 32));
    SpeedButton2->setProperty("Tag", ServiceCommands::AllLedsOn);
    SpeedButton3->setProperty("Tag", ServiceCommands::ShowAddresses);
    SpeedButton4->setProperty("Tag", ServiceCommands::ShowFirmware);
    SpeedButton5->setProperty("Tag", ServiceCommands::EndTests);
    PServise->setVisible(false);

    connect(SBOKPass, &QToolButton::clicked, this, &TFServiceOptions::SBOKPassClick);
    connect(EPassword, &QLineEdit::returnPressed, this, &TFServiceOptions::EPasswordKeyPress);
    connect(SBSendConfiguration, &QToolButton::clicked, this, &TFServiceOptions::SBSendConfigurationClick);
    for (QToolButton* b : {SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5})
        connect(b, &QToolButton::clicked, this, &TFServiceOptions::SpeedButton5Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFServiceOptions::SpeedButton1Click);

    ComPort.OnBeforeOpen = [this] { ComPortBeforeOpen(); };
    ComPort.OnAfterOpen = [this] { ComPortAfterOpen(); };
    ComPort.OnBeforeClose = [this] { ComPortBeforeClose(); };
    ComPort.OnAfterClose = [this] { ComPortAfterClose(); };

    LayOutPanels();
    CentreOnScreen();
    EPassword->setFocus();
    dm.LanguageChanger.Translate(this, objectName(), QString(), 0);
}

TFServiceOptions::~TFServiceOptions()
{
    // A port that an error left open is closed here, and says so in the log.
    try {
        ComPort.Close();
    } catch (const EComPort&) {
    }
}

void TFServiceOptions::LayOutPanels()
{
    const int serviceHeight = PServise->isVisibleTo(this) ? ServiceHeight : 0;
    PInfo->setGeometry(0, 0, ClientWidth, InfoHeight);
    PPassword->setGeometry(0, InfoHeight, ClientWidth, ClientHeight - InfoHeight - serviceHeight);
    PServise->setGeometry(0, ClientHeight - ServiceHeight, ClientWidth, ServiceHeight);
}

void TFServiceOptions::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TFServiceOptions::SBOKPassClick()
{
    if (unlocked_) return;
    const QDate day = today_ ? today_() : QDate::currentDate();
    const std::chrono::year_month_day ymd{std::chrono::year{day.year()}, std::chrono::month{unsigned(day.month())},
                                          std::chrono::day{unsigned(day.day())}};
    if (day.isValid() && ServicePassword::Accepts(passwordMode_, ymd, EPassword->text().toStdString())) {
        unlocked_ = true;
        LPass->setEnabled(false);
        EPassword->setEnabled(false);
        SBOKPass->setEnabled(false);
        PServise->setVisible(true);
        LayOutPanels();
        return;
    }
    ShowWarningBox(MsgText(MsgWrongPassword), WarningStyle);
    EPassword->selectAll();
    EPassword->setFocus();
}

void TFServiceOptions::EPasswordKeyPress() { SBOKPassClick(); }

void TFServiceOptions::EPasswordClick() { EPassword->selectAll(); }

bool TFServiceOptions::eventFilter(QObject* watched, QEvent* event)
{
    // Selecting on release: the press has already placed the cursor.
    if (watched == EPassword && event->type() == QEvent::MouseButtonRelease) EPasswordClick();
    return QDialog::eventFilter(watched, event);
}

void TFServiceOptions::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window behind the operator's back; Enter
    // belongs to the password edit.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFServiceOptions::SBSendConfigurationClick()
{
    if (!unlocked_) return;
    // Byte 0 is the number of prices, byte 1 the digits per price, each less one.
    const uint8_t prices = uint8_t(CBList2->currentIndex()), digits = uint8_t(CBList1->currentIndex());
    TransferRunner::Run(CommandEnv(), [=](PylonCommandEnv& env) { ServiceCommands(env).SendSettings(prices, digits); });
}

PylonCommandEnv TFServiceOptions::CommandEnv()
{
    return {model_, link_, ComPort, log_, waiter_,
            [](const std::string& text, int style) { ShowWarningBox(ToQString(text), style); },
            [](const std::string& text) { ShowErrorBox(ToQString(text)); }, {}, Recorder};
}

void TFServiceOptions::RunTest(uint8_t code)
{
    TransferRunner::Run(CommandEnv(), [code](PylonCommandEnv& env) { ServiceCommands(env).RunTest(code); });
}

void TFServiceOptions::SpeedButton5Click()
{
    if (!unlocked_) return;
    const QObject* button = sender();
    if (!button) return;
    RunTest(uint8_t(button->property("Tag").toInt()));
}

void TFServiceOptions::SpeedButton1Click()
{
    if (!unlocked_) return;
    RunTest(ServiceCommands::EndTests);
    close();
}

void TFServiceOptions::LogPort(int msg)
{
    log_.AppendLine(Msg[msg] + " " + Cp1250::ToUtf8(ComPort.Port()));
}

void TFServiceOptions::ComPortBeforeOpen() { LogPort(MsgOpeningPort); }
void TFServiceOptions::ComPortAfterOpen() { LogPort(MsgOpenedPort); }
void TFServiceOptions::ComPortBeforeClose() { LogPort(MsgClosingPort); }
void TFServiceOptions::ComPortAfterClose() { LogPort(MsgClosedPort); }
