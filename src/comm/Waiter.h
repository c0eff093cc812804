#pragma once

// The fixed pauses of the pylon commands (2000 ms after a send, 1000 ms after
// a service command). Tests count them instead of waiting.
class Waiter {
public:
    virtual ~Waiter() = default;
    virtual void Wait(int milliseconds) = 0;
};

// Sleeps for real.
class SleepWaiter : public Waiter {
public:
    void Wait(int milliseconds) override;
};
