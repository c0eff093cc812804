#include "comm/Waiter.h"

void RecordingWaiter::Wait(int milliseconds)
{
    waits.push_back(milliseconds);
    if (onWait) onWait(milliseconds);
}
