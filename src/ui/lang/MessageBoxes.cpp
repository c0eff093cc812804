#include "ui/lang/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageBoxSeam::Sink& CurrentSink()
{
    static MessageBoxSeam::Sink sink;
    return sink;
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
    QMessageBox box(icon, call.caption, call.text, QMessageBox::Ok, QApplication::activeWindow());
    if (call.style & MB_TOPMOST) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

}  // namespace

MessageBoxSeam::MessageBoxSeam(Sink sink) : previous_(std::move(CurrentSink()))
{
    CurrentSink() = std::move(sink);
}

MessageBoxSeam::~MessageBoxSeam()
{
    CurrentSink() = std::move(previous_);
}

void MessageBoxSeam::Deliver(const MessageBoxCall& call)
{
    if (CurrentSink()) CurrentSink()(call);
    else ShowOnScreen(call);
}

void ShowWarningBox(const QString& text, int style)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Warning, text, QStringLiteral("Lumarq Pylon"),
                             style | MB_TOPMOST});
}

void ShowErrorBox(const QString& text)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Error, text, QApplication::applicationDisplayName(),
                             MB_ICONERROR});
}

void ShowPlainMessage(const QString& text)
{
    MessageBoxSeam::Deliver({MessageBoxCall::Kind::Plain, text, QApplication::applicationDisplayName(), 0});
}
