#pragma once
#include <functional>
#include <QString>

class QWidget;

// The program's message boxes. Every warning is a topmost box with the
// caption "Lumarq Pylon", the exclamation icon and one OK button (callers
// pass the style 48); the error box carries the application's title and the
// error icon (style 16).
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_TOPMOST = 0x40000;

void ShowWarningBox(const QString& text, int style);
void ShowErrorBox(const QString& text);
// A plain message with the application's title and an OK button.
void ShowPlainMessage(const QString& text);

// While it lives, boxes on screen belong to `owner` when it is visible (the
// progress log while a command runs): they stand above it, also when it
// stays on top, and take the input it would take.
class MessageBoxOwner {
public:
    explicit MessageBoxOwner(QWidget* owner);
    ~MessageBoxOwner();
    MessageBoxOwner(const MessageBoxOwner&) = delete;
    MessageBoxOwner& operator=(const MessageBoxOwner&) = delete;

private:
    QWidget* previous_;
};

// What a box would show; tests install a sink so that no box needs a person.
struct MessageBoxCall {
    enum class Kind { Warning, Error, Plain };
    Kind kind;
    QString text;
    QString caption;
    int style;  // as the system message box takes it, topmost bit included
};

class MessageBoxSeam {
public:
    using Sink = std::function<void(const MessageBoxCall&)>;
    // Boxes go to `sink` while this object lives, instead of the screen.
    explicit MessageBoxSeam(Sink sink);
    ~MessageBoxSeam();
    MessageBoxSeam(const MessageBoxSeam&) = delete;
    MessageBoxSeam& operator=(const MessageBoxSeam&) = delete;

    static void Deliver(const MessageBoxCall& call);  // used by the box functions

private:
    Sink previous_;
};
