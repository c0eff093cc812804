#include "ui/comm/TFInfoWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/lang/TDM.h"

namespace {

const QColor Black(0, 0, 0);
const QColor Lime(0, 255, 0);
const QColor White(255, 255, 255);

}  // namespace

TFInfoWindow::TFInfoWindow(TDM& dm, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FInfoWindow"));
    setWindowTitle(QStringLiteral("Informacje"));
    setFixedSize(ClientWidth, ClientHeight);
    // Hiding or closing the log never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Black);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    REInfoWindow = new QPlainTextEdit(this);
    REInfoWindow->setObjectName(QStringLiteral("REInfoWindow"));
    REInfoWindow->setReadOnly(true);
    REInfoWindow->setUndoRedoEnabled(false);
    REInfoWindow->setFrameShape(QFrame::NoFrame);
    REInfoWindow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    REInfoWindow->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    REInfoWindow->setFocusPolicy(Qt::NoFocus);
    QPalette logPal = REInfoWindow->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        logPal.setColor(group, QPalette::Base, Black);
        logPal.setColor(group, QPalette::Text, Lime);
    }
    REInfoWindow->setPalette(logPal);
    QFont logFont;
    logFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                         QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")});
    logFont.setPixelSize(11);
    REInfoWindow->setFont(logFont);
    layout->addWidget(REInfoWindow, 1);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(PanelHeight);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    // The flat bevel along the log's bottom edge.
    auto* bevel = new QFrame(panel);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Plain);
    bevel->setFixedHeight(1);
    QPalette bevelPal = bevel->palette();
    bevelPal.setColor(QPalette::WindowText, QColor(64, 64, 64));
    bevel->setPalette(bevelPal);
    panelLayout->addWidget(bevel);

    SBOK = new QToolButton(panel);
    SBOK->setObjectName(QStringLiteral("SBOK"));
    SBOK->setText(QStringLiteral("Zamknij okno"));
    SBOK->setAutoRaise(true);
    SBOK->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SBOK->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    SBOK->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont bold = SBOK->font();
    bold.setBold(true);
    SBOK->setFont(bold);
    QPalette buttonPal = SBOK->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        buttonPal.setColor(group, QPalette::ButtonText, White);
        buttonPal.setColor(group, QPalette::WindowText, White);
        buttonPal.setColor(group, QPalette::Button, Black);
    }
    SBOK->setPalette(buttonPal);
    panelLayout->addWidget(SBOK);
    layout->addWidget(panel);

    connect(SBOK, &QToolButton::clicked, this, &TFInfoWindow::SBOKClick);

    CentreOnScreen();
    dm.LanguageChanger.Translate(this, objectName(), QString(), 0);
}

void TFInfoWindow::ShowLog()
{
    OnOwnThread([this] {
        if (isVisible()) raise();  // already up: bring it before the main window again
        else show();
        Clear();
        PaintNow();
    });
}

void TFInfoWindow::CloseLog()
{
    OnOwnThread([this] { hide(); });
}

void TFInfoWindow::AppendLine(const std::string& line)
{
    OnOwnThread([this, &line] {
        REInfoWindow->appendPlainText(QString::fromStdString(line));
        ++lineCount_;
        REInfoWindow->verticalScrollBar()->setValue(REInfoWindow->verticalScrollBar()->maximum());
        PaintNow();
    });
}

void TFInfoWindow::Clear()
{
    REInfoWindow->clear();
    lineCount_ = 0;
}

QStringList TFInfoWindow::Lines() const
{
    QStringList lines;
    OnOwnThread([this, &lines] {
        // An empty document still reads as one empty line.
        if (lineCount_ > 0) lines = REInfoWindow->toPlainText().split(QLatin1Char('\n'));
    });
    return lines;
}

void TFInfoWindow::showEvent(QShowEvent* event)
{
    CentreOnScreen();
    Clear();
    QWidget::showEvent(event);
}

void TFInfoWindow::SBOKClick()
{
    if (cancel_) cancel_();
    else CloseLog();
}

void TFInfoWindow::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TFInfoWindow::PaintNow()
{
    // Painted before the command goes on; the event loop paints whatever
    // the window system asks for later (a window not yet mapped, say).
    if (isVisible()) REInfoWindow->viewport()->repaint();
}

void TFInfoWindow::OnOwnThread(const std::function<void()>& f) const
{
    if (QThread::currentThread() == thread()) f();
    else QMetaObject::invokeMethod(const_cast<TFInfoWindow*>(this), f, Qt::BlockingQueuedConnection);
}
