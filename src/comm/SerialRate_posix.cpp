// Systems other than Linux: the rate as the speed value where speeds are
// plain rates (the BSDs, macOS), else the nearest standard rate.
#include "comm/SerialRate.h"

#include <cerrno>
#include <cstdlib>
#include <termios.h>

namespace SerialRate {

namespace {

speed_t Nearest(int rate)
{
    static const struct {
        int rate;
        speed_t speed;
    } standard[] = {{9600, B9600},    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
#ifdef B230400
                    {230400, B230400}
#endif
    };
    speed_t best = B9600;
    int bestDistance = -1;
    for (const auto& s : standard) {
        const int d = std::abs(s.rate - rate);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = s.speed;
        }
    }
    return best;
}

}  // namespace

int SetCustom(int fd, int rate)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) return errno;
#if B9600 == 9600
    const speed_t speed = speed_t(rate);
#else
    const speed_t speed = Nearest(rate);
#endif
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) {
        t = termios{};
        if (tcgetattr(fd, &t) != 0) return errno;
        cfsetispeed(&t, Nearest(rate));
        cfsetospeed(&t, Nearest(rate));
    }
    if (tcsetattr(fd, TCSANOW, &t) != 0) return errno;
    return 0;
}

int Current(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) return 0;
#if B9600 == 9600
    return int(cfgetospeed(&t));
#else
    return 0;
#endif
}

}  // namespace SerialRate
