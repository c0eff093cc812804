#include "comm/Waiter.h"

#include <cerrno>
#include <ctime>

// The whole pause, also when a signal interrupts it.
void SleepWaiter::Wait(int milliseconds)
{
    if (milliseconds <= 0) return;
    timespec left{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
