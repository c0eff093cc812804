#include "comm/Waiter.h"

#include "comm/Cancel.h"

void SleepWaiter::Wait(int milliseconds) { CancelToken::Sleep(milliseconds); }

void RecordingWaiter::Wait(int milliseconds)
{
    waits.push_back(milliseconds);
    if (onWait) onWait(milliseconds);
}
