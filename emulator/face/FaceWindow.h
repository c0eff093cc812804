#pragma once
#include <csignal>
#include <functional>

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include "emulator/face/PylonFace.h"

class PylonEmulator;
class QLabel;

// The face on the screen, live: it looks at the emulator's change count a
// few times a second, draws the new state when it moved, and lets blinking
// lines blink at 1 Hz (half a second lit, half a second dark). The emulator
// serves on its own threads; this window reads it only through its
// thread-safe Changes and GetState, on the window's thread.
class FaceWindow : public QWidget {
public:
    static constexpr int PollMs = 40;
    static constexpr int BlinkHalfMs = 500;

    explicit FaceWindow(PylonEmulator& emulator, QWidget* parent = nullptr);

    // Runs at every look, after the window's own.
    std::function<void()> onPoll;

    const face::Face& Shown() const { return face_; }
    bool BlinkLit() const { return lit_; }
    // Looks at the emulator now (the timer does it every PollMs).
    void Poll();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    PylonEmulator& emulator_;
    QTimer timer_;
    QElapsedTimer clock_;
    QLabel* summary_;
    face::Face face_;
    QImage image_;
    uint64_t seen_ = 0;
    bool lit_ = true;
    bool first_ = true;
};

// Runs the face window until it is closed or one of `stopSignals` (blocked
// by the caller) arrives; `tick` runs at every look the window takes.
int RunFaceWindow(PylonEmulator& emulator, int& argc, char** argv, const sigset_t& stopSignals,
                  std::function<void()> tick);
