#pragma once
#include <functional>

#include <QStringList>
#include <QWidget>

#include "comm/ProgressLog.h"

class QPlainTextEdit;
class QToolButton;
class DataModule;

// The progress log of the pylon commands: a small always-on-top tool window,
// lime text on black, with one close button. The commands run on a worker
// thread (TransferRunner): what they call here from there is done on the
// window's own thread, before the call returns, so each line is in the log
// before the command goes on, and the window paints while the command waits.
// Closing only hides the window; the one instance lives until the program ends.
class ProgressLogWindow : public QWidget, public ProgressLog {
    Q_OBJECT
    Q_CLASSINFO("DesignClass", "TFInfoWindow")
public:
    explicit ProgressLogWindow(DataModule& dm, QWidget* parent = nullptr);

    // ProgressLog
    void ShowLog() override;
    void CloseLog() override;
    void AppendLine(const std::string& line) override;

    void Clear();
    // The log as the operator reads it, one entry per line (any thread).
    QStringList Lines() const;

    // While set, the close button calls this instead of closing the window
    // (a running command is cancelled; the log stays to show how it ended).
    void SetCancelHandler(std::function<void()> cancel) { cancel_ = std::move(cancel); }

    QPlainTextEdit* LogText = nullptr;
    QToolButton* OkButton = nullptr;

    static constexpr int ClientWidth = 372;
    static constexpr int ClientHeight = 243;
    static constexpr int PanelHeight = 45;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OkClicked();

private:
    void CentreOnScreen();
    void PaintNow();
    // Runs `f` on the window's thread and waits for it.
    void OnOwnThread(const std::function<void()>& f) const;

    int lineCount_ = 0;
    std::function<void()> cancel_;
};
