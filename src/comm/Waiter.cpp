#include "comm/Waiter.h"

#include <chrono>
#include <thread>

void SleepWaiter::Wait(int milliseconds)
{
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void RecordingWaiter::Wait(int milliseconds)
{
    waits.push_back(milliseconds);
    if (onWait) onWait(milliseconds);
}
