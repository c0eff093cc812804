#pragma once
#include <functional>
#include <vector>

// The fixed pauses of the pylon commands (2000 ms after a send, 1000 ms after
// a service command). Tests count them instead of waiting.
class Waiter {
public:
    virtual ~Waiter() = default;
    virtual void Wait(int milliseconds) = 0;
};

// Sleeps for real on the command's thread; a cancelled command's pause ends
// at once (see CancelToken).
class SleepWaiter : public Waiter {
public:
    void Wait(int milliseconds) override;
};

// Does not wait: notes every pause, and lets a test look at the world at the
// moment the pause would begin (what the log shows, what the pylon holds).
class RecordingWaiter : public Waiter {
public:
    void Wait(int milliseconds) override;

    std::vector<int> waits;
    std::function<void(int milliseconds)> onWait;
};
