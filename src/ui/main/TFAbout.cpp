#include "ui/main/TFAbout.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "ui/main/PngDecoder.h"
#include "ui/main/Shell.h"

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& family,
                  int points, bool bold, const QColor& colour)
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

TFAbout::TFAbout(QWidget* owner, const QString& producerLine, const QString& appName, const QString& version,
                 const QString& rightsLine, const QString& additionalLine)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    Q_INIT_RESOURCE(assets);
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("Informacje o producencie"));  // never shown: no caption bar
    resize(513, 285);

    imgBkg = new QLabel(this);
    imgBkg->setObjectName(QStringLiteral("imgBkg"));
    const QImage background = PngDecoder::Load(QStringLiteral(":/assets/about-background.png"));
    imgBkg->setPixmap(QPixmap::fromImage(background));
    imgBkg->setGeometry(0, 0, 495, 272);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(0, 118, 495, 79);
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setAttribute(Qt::WA_TranslucentBackground, true);

    const QColor white(Qt::white);
    lbProducerAd = MakeLabel(this, "lbProducerAd", QRect(0, 94, 497, 17), QStringLiteral("Verdana"), 12,
                             false, white);
    lbProducerAd->setWordWrap(true);
    lbAppName = MakeLabel(this, "lbAppName", QRect(8, 198, 480, 21), QStringLiteral("Tahoma"), 12, false, white);
    lbAppVersion = MakeLabel(this, "lbAppVersion", QRect(8, 214, 480, 21), QStringLiteral("Tahoma"), 12, false,
                             white);
    lbAllRights = MakeLabel(this, "lbAllRights", QRect(8, 232, 480, 13), QStringLiteral("Tahoma"), 8, true, white);
    lbAdditionalInfo = MakeLabel(this, "lbAdditionalInfo", QRect(8, 254, 480, 13), QStringLiteral("Tahoma"), 8,
                                 true, QColor(0x80, 0, 0));

    // Above the additional line that shares its place, so that it gets the clicks.
    LWWW = MakeLabel(this, "LWWW", QRect(8, 254, 133, 17), QStringLiteral("Tahoma"), 8, true, QColor(0, 0, 255));
    LWWW->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont web = LWWW->font();
    web.setUnderline(true);
    LWWW->setFont(web);
    LWWW->setText(QLatin1String(WebAddress));
    LWWW->setCursor(Qt::PointingHandCursor);

    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setGeometry(386, 238, 102, 29);
    Image->setPixmap(QPixmap::fromImage(PngDecoder::Load(QStringLiteral(":/assets/about-close.png"))));
    Image->setCursor(Qt::PointingHandCursor);

    // The window takes the background picture's size, whatever the design size.
    setFixedSize(imgBkg->width(), imgBkg->height());

    lbProducerAd->setText(producerLine);
    lbAppName->setText(appName);
    lbAppVersion->setText(version);
    lbAllRights->setText(rightsLine);
    lbAdditionalInfo->setText(additionalLine);

    {
        const QImage logo = PngDecoder::Load(QStringLiteral(":/ID_LOGO"));
        imgLogo->setPixmap(QPixmap::fromImage(logo));
    }

    // Keyboard preview: the window sees every key before its controls.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
        w->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::StrongFocus);
}

void TFAbout::showEvent(QShowEvent* event)
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
    setFocus();
}

bool TFAbout::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (FormKeyDown(static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::MouseButtonPress:
        if (watched == LWWW || watched == Image) break;  // clicks, not drags
        if (watched == imgBkg || watched == imgLogo || watched == lbAppVersion || watched == lbProducerAd
            || watched == lbAllRights || watched == lbAppName || watched == lbAdditionalInfo) {
            imgBkgMouseDown(static_cast<QMouseEvent*>(event));
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
        if (watched == Image && inside && mouse->button() == Qt::LeftButton) {
            ImageClick();
            return true;
        }
        if (watched == LWWW && inside && mouse->button() == Qt::LeftButton) {
            LWWWClick();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFAbout::imgBkgMouseDown(QMouseEvent* event)
{
    // Any button drags the window as if its missing caption had been grabbed.
    // The window system moves it where it can; otherwise the window follows
    // the mouse itself.
    if (QWindow* window = windowHandle(); window && window->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TFAbout::DragTo(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        dragging_ = false;
        return;
    }
    move(event->globalPosition().toPoint() - dragOffset_);
}

void TFAbout::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) DragTo(event);
    else QDialog::mouseMoveEvent(event);
}

void TFAbout::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

bool TFAbout::FormKeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
        close();
        return true;
    default:
        return false;
    }
}

void TFAbout::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyDown(event)) QDialog::keyPressEvent(event);
}

void TFAbout::ImageClick()
{
    close();
}

void TFAbout::LWWWClick()
{
    // A failure to open the address is ignored.
    Shell::OpenDocument(LWWW->text());
}
