#include "ui/lang/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageBoxSeam::Sink& CurrentSink()
{
    static MessageBoxSeam::Sink sink;
    return sink;
}

QWidget*& Owner()
{
    static QWidget* owner = nullptr;
    return owner;
}

void ShowOnScreen(const MessageBoxCall& call)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (call.style & 0xF0) {
    case MB_ICONERROR: icon = QMessageBox::Critical; break;
    case MB_ICONEXCLAMATION: icon = QMessageBox::Warning; break;
    case 0x40: icon = QMessageBox::Information; break;
    case 0x20: icon = QMessageBox::Question; break;
    default: break;
    }
    QWidget* owner = Owner() && Owner()->isVisible() ? Owner() : nullptr;
    QMessageBox box(icon, call.caption, call.text, QMessageBox::Ok, owner ? owner : QApplication::activeWindow());
    if ((call.style & MB_TOPMOST) || owner) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

}  // namespace

MessageBoxOwner::MessageBoxOwner(QWidget* owner) : previous_(Owner()) { Owner() = owner; }

MessageBoxOwner::~MessageBoxOwner() { Owner() = previous_; }

MessageBoxSeam::MessageBoxSeam(Sink sink) : previous_(std::move(CurrentSink())) { CurrentSink() = std::move(sink); }

MessageBoxSeam::~MessageBoxSeam() { CurrentSink() = std::move(previous_); }

void MessageBoxSeam::Deliver(const MessageBoxCall& call)
{
    if (CurrentSink()) CurrentSink()(call);
    else ShowOnScreen(call);
}

void ShowWarningBox(const QString& text, int style)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Warning, text, QStringLiteral("Lumarq Pylon"), style | MB_TOPMOST});
}

void ShowErrorBox(const QString& text)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Error, text, QApplication::applicationDisplayName(), MB_ICONERROR});
}

void ShowPlainMessage(const QString& text)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Plain, text, QApplication::applicationDisplayName(), 0});
}
