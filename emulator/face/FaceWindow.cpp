#include "emulator/face/FaceWindow.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QPainter>
#include <QVBoxLayout>

#include "emulator/PylonEmulator.h"
#include "emulator/face/FaceImage.h"

FaceWindow::FaceWindow(PylonEmulator& emulator, QWidget* parent) : QWidget(parent), emulator_(emulator)
{
    setWindowTitle(QStringLiteral("Pylon emulator - face"));
    setObjectName(QStringLiteral("FaceWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, face::ImageLayout::Height, 0, 4);
    summary_ = new QLabel(this);
    summary_->setAlignment(Qt::AlignCenter);
    summary_->setStyleSheet(QStringLiteral("color: #c8c8c8;"));
    layout->addWidget(summary_);
    setFixedWidth(face::ImageLayout::Width);
    connect(&timer_, &QTimer::timeout, this, &FaceWindow::Poll);
    timer_.start(PollMs);
    clock_.start();
    Poll();
}

void FaceWindow::Poll()
{
    if (onPoll) onPoll();
    const uint64_t changes = emulator_.Changes();
    const bool lit = (clock_.elapsed() / BlinkHalfMs) % 2 == 0;
    if (first_ || changes != seen_) {
        // The count is read before the state: a change that lands between
        // the two is drawn now and once more at the next look.
        seen_ = changes;
        face_ = face::ComputeFace(emulator_.GetState());
        summary_->setText(QString::fromStdString(face::Summary(face_)));
    } else if (lit == lit_ || !face_.AnyBlinking()) {
        lit_ = lit;
        return;
    }
    first_ = false;
    lit_ = lit;
    image_ = face::RenderFace(face_.InPhase(lit_));
    update();
}

void FaceWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(32, 32, 32));
    p.drawImage(0, 0, image_);
}

int RunFaceWindow(PylonEmulator& emulator, int& argc, char** argv, const sigset_t& stopSignals,
                  std::function<void()> tick)
{
    QApplication app(argc, argv);
    FaceWindow window(emulator);
    window.onPoll = std::move(tick);
    // The stop signals arrive as readable bytes, seen by the event loop.
    const int fd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK);
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    window.show();
    const int status = app.exec();
    if (fd >= 0) ::close(fd);
    return status;
}
