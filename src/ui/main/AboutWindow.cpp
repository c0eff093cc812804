#include "ui/main/AboutWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "ui/main/PngDecoder.h"
#include "ui/main/Shell.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& family, int points,
                  bool bold, const QColor& colour)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    QFont font(family, points);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground, true);
    return label;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* owner, const QString& producerLine, const QString& appName, const QString& version,
                         const QString& rightsLine, const QString& additionalLine)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    Q_INIT_RESOURCE(assets);
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("Informacje o producencie"));  // never shown: no caption bar
    resize(513, 285);

    Background = new QLabel(this);
    Background->setObjectName(QStringLiteral("imgBkg"));
    const QImage background = PngDecoder::Load(QStringLiteral(":/assets/about-background.png"));
    Background->setPixmap(QPixmap::fromImage(background));
    Background->setGeometry(0, 0, 495, 272);

    Logo = new QLabel(this);
    Logo->setObjectName(QStringLiteral("imgLogo"));
    Logo->setGeometry(0, 118, 495, 79);
    Logo->setAlignment(Qt::AlignCenter);
    Logo->setAttribute(Qt::WA_TranslucentBackground, true);

    const QColor white(Qt::white);
    ProducerLabel = MakeLabel(this, "lbProducerAd", QRect(0, 94, 497, 17), QStringLiteral("Verdana"), 12, false, white);
    ProducerLabel->setWordWrap(true);
    AppNameLabel = MakeLabel(this, "lbAppName", QRect(8, 198, 480, 21), QStringLiteral("Tahoma"), 12, false, white);
    VersionLabel = MakeLabel(this, "lbAppVersion", QRect(8, 214, 480, 21), QStringLiteral("Tahoma"), 12, false, white);
    RightsLabel = MakeLabel(this, "lbAllRights", QRect(8, 232, 480, 13), QStringLiteral("Tahoma"), 8, true, white);
    AdditionalLabel = MakeLabel(this, "lbAdditionalInfo", QRect(8, 254, 480, 13), QStringLiteral("Tahoma"), 8, true,
                                QColor(0x80, 0, 0));

    // Above the additional line that shares its place, so that it gets the clicks.
    WebLink = MakeLabel(this, "LWWW", QRect(8, 254, 133, 17), QStringLiteral("Tahoma"), 8, true, QColor(0, 0, 255));
    WebLink->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont web = WebLink->font();
    web.setUnderline(true);
    WebLink->setFont(web);
    WebLink->setText(QLatin1String(WebAddress));
    WebLink->setCursor(Qt::PointingHandCursor);

    CloseImage = new QLabel(this);
    CloseImage->setObjectName(QStringLiteral("Image"));
    CloseImage->setGeometry(386, 238, 102, 29);
    CloseImage->setPixmap(QPixmap::fromImage(PngDecoder::Load(QStringLiteral(":/assets/about-close.png"))));
    CloseImage->setCursor(Qt::PointingHandCursor);

    // The window takes the background picture's size, whatever the design size.
    setFixedSize(Background->width(), Background->height());

    ProducerLabel->setText(producerLine);
    AppNameLabel->setText(appName);
    VersionLabel->setText(version);
    RightsLabel->setText(rightsLine);
    AdditionalLabel->setText(additionalLine);

    {
        const QImage logo = PngDecoder::Load(QStringLiteral(":/ID_LOGO"));
        Logo->setPixmap(QPixmap::fromImage(logo));
    }

    // Keyboard preview: the window sees every key before its controls.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
        w->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::StrongFocus);
}

void AboutWindow::showEvent(QShowEvent* event)
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
    setFocus();
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (KeyDown(static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::MouseButtonPress:
        if (watched == WebLink || watched == CloseImage) break;  // clicks, not drags
        if (watched == Background || watched == Logo || watched == VersionLabel || watched == ProducerLabel ||
            watched == RightsLabel || watched == AppNameLabel || watched == AdditionalLabel) {
            BackgroundPressed(static_cast<QMouseEvent*>(event));
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (dragging_) {
            DragTo(static_cast<QMouseEvent*>(event));
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        const bool inside = static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint());
        if (watched == CloseImage && inside && mouse->button() == Qt::LeftButton) {
            CloseImageClicked();
            return true;
        }
        if (watched == WebLink && inside && mouse->button() == Qt::LeftButton) {
            WebLinkClicked();
            return true;
        }
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutWindow::BackgroundPressed(QMouseEvent* event)
{
    // Any button drags the window as if its missing caption had been grabbed.
    // The window system moves it where it can; otherwise the window follows
    // the mouse itself.
    if (QWindow* window = windowHandle(); window && window->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void AboutWindow::DragTo(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        dragging_ = false;
        return;
    }
    move(event->globalPosition().toPoint() - dragOffset_);
}

void AboutWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) DragTo(event);
    else QDialog::mouseMoveEvent(event);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

bool AboutWindow::KeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space: close(); return true;
    default: return false;
    }
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (!KeyDown(event)) QDialog::keyPressEvent(event);
}

void AboutWindow::CloseImageClicked() { close(); }

void AboutWindow::WebLinkClicked()
{
    // A failure to open the address is ignored.
    Shell::OpenDocument(WebLink->text());
}
