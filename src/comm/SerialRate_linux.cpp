// Kept apart from the termios code: the kernel's termios2 header and the C
// library's <termios.h> cannot be included together.
#include "comm/SerialRate.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace SerialRate {

int SetCustom(int fd, int rate)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return errno;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = unsigned(rate);
    t.c_ospeed = unsigned(rate);
    if (ioctl(fd, TCSETS2, &t) != 0) return errno;
    return 0;
}

int Current(int fd)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return 0;
    return int(t.c_ospeed);
}

}  // namespace SerialRate
