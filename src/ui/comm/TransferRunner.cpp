#include "ui/comm/TransferRunner.h"

#include <atomic>
#include <exception>
#include <thread>
#ifdef __linux__
#include <pthread.h>
#endif

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QSet>
#include <QThread>
#include <QWidget>

#include "comm/Cancel.h"
#include "comm/PylonCommandEnv.h"
#include "comm/RunCommand.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/MessageBoxes.h"

namespace {

std::atomic<bool> running{false};

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close: return true;
    default: return false;
    }
}

// Refuses the operator's input to every window that was open when the
// command started, except the progress log; windows that open later (the
// boxes of the command) take input as usual.
class InputGate : public QObject {
public:
    explicit InputGate(QWidget* log) : log_(log)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != log_) held_.insert(w);
        qApp->installEventFilter(this);
    }
    ~InputGate() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (!IsInput(event->type())) return false;
        auto* widget = qobject_cast<QWidget*>(target);
        // Shortcuts of actions fire for the windows that are held; the
        // events of the system windows reach their widgets next.
        if (!widget) return event->type() == QEvent::Shortcut;
        if (!held_.contains(widget->window())) return false;
        if (event->type() == QEvent::ShortcutOverride) event->accept();  // no shortcut fires
        else event->ignore();                                            // a close is refused
        return true;
    }

private:
    QWidget* log_;
    QSet<QWidget*> held_;
};

// Runs `f` on the thread of `context` and waits for it.
void On(QObject* context, const std::function<void()>& f)
{
    if (QThread::currentThread() == context->thread()) f();
    else QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
}

}  // namespace

bool TransferRunner::Running() { return running.load(); }

bool TransferRunner::Run(const PylonCommandEnv& env, const std::function<void(PylonCommandEnv&)>& command)
{
    if (running.exchange(true)) return false;
    auto* logWindow = dynamic_cast<ProgressLogWindow*>(&env.log);

    QEventLoop loop;
    PylonCommandEnv worker = env;
    if (env.warningBox)
        worker.warningBox = [&](const std::string& text, int style) {
            On(&loop, [&] {
                const MessageBoxOwner owner(logWindow);
                env.warningBox(text, style);
            });
        };
    if (env.errorBox)
        worker.errorBox = [&](const std::string& text) {
            On(&loop, [&] {
                const MessageBoxOwner owner(logWindow);
                env.errorBox(text);
            });
        };
    if (env.showPylon) worker.showPylon = [&](const PylonConfig& model) { On(&loop, [&] { env.showPylon(model); }); };

    CancelToken token;
    std::atomic<bool> ended{false};
    const InputGate gate(logWindow);
    // A click that comes after the command's end closes the log as usual.
    if (logWindow)
        logWindow->SetCancelHandler([&] {
            if (ended) logWindow->CloseLog();
            else token.Cancel();
        });

    bool completed = false;
    std::exception_ptr failure;
    std::thread thread([&] {
        try {
            completed = RunCommand(worker, token, [&] { command(worker); });
        } catch (...) {
            failure = std::current_exception();
        }
        ended = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
#ifdef __linux__
    pthread_setname_np(thread.native_handle(), "pylon-command");  // as ps and debuggers show it
#endif
    loop.exec();
    thread.join();

    if (logWindow) logWindow->SetCancelHandler({});
    running = false;
    if (failure) std::rethrow_exception(failure);
    return completed;
}
