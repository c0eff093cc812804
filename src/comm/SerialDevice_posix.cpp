#include "comm/SerialDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include "comm/Cancel.h"
#include "comm/SerialRate.h"

namespace {

using Clock = std::chrono::steady_clock;

// The standard termios speeds of the rates the pylon's baud-rate codes name.
speed_t StandardSpeed(int rate)
{
    switch (rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
#ifdef B230400
    case 230400: return B230400;
#endif
    default: return B0;
    }
}

// Milliseconds until `t`, rounded up so that a wait never ends early.
int MsUntil(Clock::time_point t)
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(t - Clock::now()).count();
    if (us <= 0) return 0;
    return int(std::min<long long>((us + 999) / 1000, INT_MAX));
}

class PosixSerialDevice : public SerialDevice {
public:
    ~PosixSerialDevice() override { Close(); }

    int Open(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return errno;
        // Nobody else may use the port while we hold it: refuse a port that
        // another program holds (flock), and make later opens of the tty fail.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        fd_ = fd;
        return 0;
    }

    void Close() override
    {
        if (fd_ < 0) return;
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    int SetupQueues(int) override
    {
        // The kernel's queues have their own sizes; start them empty.
        if (::tcflush(fd_, TCIOFLUSH) != 0) return errno;
        return 0;
    }

    int SetTimeouts(const Timeouts& t) override
    {
        // Each Read and Write is handed its limits; impossible ones are refused
        // without a system error.
        if (t.readInterval < 0 || t.readPerByte < 0 || t.readConstant < 0 || t.writePerByte < 0 || t.writeConstant < 0)
            return -1;
        return 0;
    }

    int SetLine(int rate) override
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return errno;
        ::cfmakeraw(&t);
        t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNPAR | PARMRK);
        t.c_iflag |= IGNBRK;
        t.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
        t.c_cflag &= ~tcflag_t(CRTSCTS);
#endif
        t.c_cflag |= CS8 | CREAD | CLOCAL;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        const speed_t speed = StandardSpeed(rate);
        const bool custom = speed == B0;
        if (!custom) {
            ::cfsetispeed(&t, speed);
            ::cfsetospeed(&t, speed);
        }
        if (::tcsetattr(fd_, TCSANOW, &t) != 0) return errno;
        if (custom)
            if (const int error = SerialRate::SetCustom(fd_, rate); error != 0) return error;
        // DTR and RTS held inactive; a pseudo-terminal has no modem lines.
        const int lines = TIOCM_DTR | TIOCM_RTS;
        if (::ioctl(fd_, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) return errno;
        return 0;
    }

    Transfer Read(uint8_t* bytes, int count, int intervalMs, int totalMs) override
    {
        Transfer t;
        const auto start = Clock::now();
        const bool hasTotal = totalMs > 0;
        const auto totalEnd = start + std::chrono::milliseconds(totalMs);
        Clock::time_point intervalEnd{};
        ThrowIfCancelled();
        while (t.count < count) {
            // The interval limit runs from the latest byte, once one came.
            Clock::time_point end = Clock::time_point::max();
            if (hasTotal) end = totalEnd;
            if (t.count > 0 && intervalMs > 0) end = std::min(end, intervalEnd);
            const int wait = end == Clock::time_point::max() ? -1 : MsUntil(end);
            if (wait == 0) break;
            const int revents = CancelToken::Poll(fd_, POLLIN, wait);
            if (revents < 0) {
                t.error = errno;
                return t;
            }
            if (revents == 0) continue;  // the loop head sees which limit passed
            if (revents & POLLNVAL) {
                t.error = EBADF;
                return t;
            }
            const ssize_t r = ::read(fd_, bytes + t.count, size_t(count - t.count));
            if (r > 0) {
                t.count += int(r);
                intervalEnd = Clock::now() + std::chrono::milliseconds(intervalMs);
                continue;
            }
            if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
            // The device went away (a hang-up reads as an end of file).
            t.error = r < 0 ? errno : EIO;
            return t;
        }
        return t;
    }

    Transfer Write(const uint8_t* bytes, int count, int totalMs) override
    {
        Transfer t;
        const bool hasTotal = totalMs > 0;
        const auto end = Clock::now() + std::chrono::milliseconds(totalMs);
        ThrowIfCancelled();
        while (t.count < count) {
            const ssize_t w = ::write(fd_, bytes + t.count, size_t(count - t.count));
            if (w > 0) {
                t.count += int(w);
                continue;
            }
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                t.error = errno;
                return t;
            }
            const int wait = hasTotal ? MsUntil(end) : -1;
            if (wait == 0) break;  // the write time-out: what went out so far
            if (CancelToken::Poll(fd_, POLLOUT, wait) < 0) {
                t.error = errno;
                return t;
            }
        }
        return t;
    }

private:
    int fd_ = -1;
};

// "ttyUSB10" after "ttyUSB9": the name's letters, then its number.
bool NaturalLess(const std::string& a, const std::string& b)
{
    auto split = [](const std::string& s) {
        size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9') --i;
        return std::make_pair(s.substr(0, i), i < s.size() ? std::stoll(s.substr(i)) : -1LL);
    };
    return split(a) < split(b);
}

bool IsPortName(const std::string& name)
{
    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        const size_t n = std::strlen(prefix);
        if (name.size() > n && name.compare(0, n, prefix) == 0 &&
            std::all_of(name.begin() + long(n), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return true;
    }
    return false;
}

// Whether the device answers as a serial line; a ttyS only with a UART behind it.
bool AnswersAsPort(const std::string& name)
{
    const std::string path = "/dev/" + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios t{};
    bool ok = ::tcgetattr(fd, &t) == 0;
#ifdef __linux__
    if (ok && name.compare(0, 4, "ttyS") == 0) {
        serial_struct info{};
        ok = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    }
#endif
    ::close(fd);
    return ok;
}

}  // namespace

std::unique_ptr<SerialDevice> SerialDevice::Create() { return std::make_unique<PosixSerialDevice>(); }

std::string SerialDevice::PathOf(const std::string& name)
{
    if (!name.empty() && name[0] == '/') return name;
    return "/dev/" + name;
}

std::vector<std::string> SerialDevice::ListPorts()
{
    std::vector<std::string> ports;
    DIR* dir = ::opendir("/dev");
    if (!dir) return ports;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (IsPortName(name) && AnswersAsPort(name)) ports.push_back(name);
    }
    ::closedir(dir);
    std::sort(ports.begin(), ports.end(), NaturalLess);
    return ports;
}
