#include "comm/Waiter.h"

#include <windows.h>

void SleepWaiter::Wait(int milliseconds)
{
    if (milliseconds > 0) ::Sleep(DWORD(milliseconds));
}
