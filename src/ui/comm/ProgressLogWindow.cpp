#include "ui/comm/ProgressLogWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/common/LazyIcon.h"
#include "ui/lang/DataModule.h"

namespace {

const QColor Black(0, 0, 0);
const QColor Lime(0, 255, 0);
const QColor White(255, 255, 255);

}  // namespace

ProgressLogWindow::ProgressLogWindow(DataModule& dm, QWidget* parent)
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

    LogText = new QPlainTextEdit(this);
    LogText->setObjectName(QStringLiteral("REInfoWindow"));
    LogText->setReadOnly(true);
    LogText->setUndoRedoEnabled(false);
    LogText->setFrameShape(QFrame::NoFrame);
    LogText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    LogText->setFocusPolicy(Qt::NoFocus);
    QPalette logPal = LogText->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        logPal.setColor(group, QPalette::Base, Black);
        logPal.setColor(group, QPalette::Text, Lime);
    }
    LogText->setPalette(logPal);
    QFont logFont;
    logFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Sans Serif")});
    logFont.setPixelSize(11);
    LogText->setFont(logFont);
    layout->addWidget(LogText, 1);

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

    OkButton = new QToolButton(panel);
    OkButton->setObjectName(QStringLiteral("SBOK"));
    OkButton->setText(QStringLiteral("Zamknij okno"));
    OkButton->setAutoRaise(true);
    OkButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The style's picture is decoded when the log is first shown, not at start.
    OkButton->setIcon(LazyIcon([this] { return style()->standardIcon(QStyle::SP_DialogCloseButton); }));
    OkButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QFont bold = OkButton->font();
    bold.setBold(true);
    OkButton->setFont(bold);
    QPalette buttonPal = OkButton->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        buttonPal.setColor(group, QPalette::ButtonText, White);
        buttonPal.setColor(group, QPalette::WindowText, White);
        buttonPal.setColor(group, QPalette::Button, Black);
    }
    OkButton->setPalette(buttonPal);
    panelLayout->addWidget(OkButton);
    layout->addWidget(panel);

    connect(OkButton, &QToolButton::clicked, this, &ProgressLogWindow::OkClicked);

    CentreOnScreen();
    dm.Changer.Translate(this, objectName(), QString(), 0);
}

void ProgressLogWindow::ShowLog()
{
    OnOwnThread([this] {
        if (isVisible()) raise();  // already up: bring it before the main window again
        else show();
        Clear();
        PaintNow();
    });
}

void ProgressLogWindow::CloseLog()
{
    OnOwnThread([this] { hide(); });
}

void ProgressLogWindow::AppendLine(const std::string& line)
{
    OnOwnThread([this, &line] {
        LogText->appendPlainText(QString::fromStdString(line));
        ++lineCount_;
        LogText->verticalScrollBar()->setValue(LogText->verticalScrollBar()->maximum());
        PaintNow();
    });
}

void ProgressLogWindow::Clear()
{
    LogText->clear();
    lineCount_ = 0;
}

QStringList ProgressLogWindow::Lines() const
{
    QStringList lines;
    OnOwnThread([this, &lines] {
        // An empty document still reads as one empty line.
        if (lineCount_ > 0) lines = LogText->toPlainText().split(QLatin1Char('\n'));
    });
    return lines;
}

void ProgressLogWindow::showEvent(QShowEvent* event)
{
    CentreOnScreen();
    Clear();
    QWidget::showEvent(event);
}

void ProgressLogWindow::OkClicked()
{
    if (cancel_) cancel_();
    else CloseLog();
}

void ProgressLogWindow::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void ProgressLogWindow::PaintNow()
{
    // Painted before the command goes on; the event loop paints whatever
    // the window system asks for later (a window not yet mapped, say).
    if (isVisible()) LogText->viewport()->repaint();
}

void ProgressLogWindow::OnOwnThread(const std::function<void()>& f) const
{
    if (QThread::currentThread() == thread()) f();
    else QMetaObject::invokeMethod(const_cast<ProgressLogWindow*>(this), f, Qt::BlockingQueuedConnection);
}
