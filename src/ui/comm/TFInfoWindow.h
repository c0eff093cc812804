#pragma once
#include <QStringList>
#include <QWidget>

#include "comm/ProgressLog.h"

class QPlainTextEdit;
class QToolButton;
class TDM;

// The progress log of the pylon commands: a small always-on-top tool window,
// lime text on black, with one close button. The commands block the event
// loop while they talk to the pylon, so every line is painted as it is added.
// Closing only hides the window; the one instance lives until the program ends.
class TFInfoWindow : public QWidget, public ProgressLog {
    Q_OBJECT
public:
    explicit TFInfoWindow(TDM& dm, QWidget* parent = nullptr);

    // ProgressLog
    void ShowLog() override;
    void CloseLog() override;
    void AppendLine(const std::string& line) override;

    void Clear();
    // The log as the operator reads it, one entry per line.
    QStringList Lines() const;

    QPlainTextEdit* REInfoWindow = nullptr;
    QToolButton* SBOK = nullptr;

    static constexpr int ClientWidth = 372;
    static constexpr int ClientHeight = 243;
    static constexpr int PanelHeight = 45;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void SBOKClick();

private:
    void CentreOnScreen();
    void PaintNow();

    int lineCount_ = 0;
};
