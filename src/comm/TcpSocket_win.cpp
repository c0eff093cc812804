#include "comm/TcpSocket.h"

#include <chrono>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineIn(int ms) { return Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0); }

// Winsock is started once for the process and left running until it ends.
bool WinsockStarted()
{
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

enum class Ready { Yes, TimedOut, Failed };

// select() on one socket until `deadline`: readable, or writable (with a
// failed connect seen as an exception).
Ready WaitUntil(SOCKET s, bool forWrite, Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    timeval tv{};
    if (left > 0) {
        tv.tv_sec = long(left / 1000000);
        tv.tv_usec = long(left % 1000000);
    }
    fd_set main, except;
    FD_ZERO(&main);
    FD_ZERO(&except);
    FD_SET(s, &main);
    FD_SET(s, &except);
    const int n = ::select(0, forWrite ? nullptr : &main, forWrite ? &main : nullptr, &except, &tv);
    if (n == 0) return Ready::TimedOut;
    if (n < 0) return Ready::Failed;
    return Ready::Yes;
}

bool WouldBlock()
{
    const int e = ::WSAGetLastError();
    return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS;
}

// A Winsock stream socket in non-blocking mode: every wait is ours, bounded.
class WinTcpSocket : public TcpSocket {
public:
    explicit WinTcpSocket(SOCKET s) : s_(s) {}
    ~WinTcpSocket() override { Close(); }

    int Connect(uint32_t address, uint16_t port, int timeoutMs) override
    {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = htonl(address);
        if (::connect(s_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return 0;
        if (!WouldBlock()) return ::WSAGetLastError();
        const Ready r = WaitUntil(s_, true, DeadlineIn(timeoutMs));
        if (r == Ready::TimedOut) return WSAETIMEDOUT;
        if (r == Ready::Failed) return ::WSAGetLastError();
        int error = 0;
        int len = sizeof error;
        if (::getsockopt(s_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0)
            return ::WSAGetLastError();
        return error;
    }

    int PrepareStream() override
    {
        // Frames are small and each waits for its reply: send them at once.
        const BOOL one = TRUE;
        if (::setsockopt(s_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one) != 0)
            return ::WSAGetLastError();
        return 0;
    }

    Transfer Write(const uint8_t* bytes, size_t count, int timeoutMs) override
    {
        const auto deadline = DeadlineIn(timeoutMs);
        size_t done = 0;
        while (done < count) {
            const int n = ::send(s_, reinterpret_cast<const char*>(bytes + done), int(count - done), 0);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n < 0 && !WouldBlock()) return {Io::Failed, done};
            const Ready r = WaitUntil(s_, true, deadline);
            if (r == Ready::TimedOut) return {Io::TimedOut, done};
            if (r == Ready::Failed) return {Io::Failed, done};
        }
        return {Io::Done, done};
    }

    Io WaitReadable(int timeoutMs) override
    {
        const Ready r = WaitUntil(s_, false, DeadlineIn(timeoutMs));
        if (r == Ready::TimedOut) return Io::TimedOut;
        if (r == Ready::Failed) return Io::Failed;
        return Io::Done;  // data, or an end or error that the read will report
    }

    Transfer Read(uint8_t* bytes, size_t count, int timeoutMs) override
    {
        const auto deadline = DeadlineIn(timeoutMs);
        size_t done = 0;
        while (done < count) {
            const int n = ::recv(s_, reinterpret_cast<char*>(bytes + done), int(count - done), 0);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n == 0) return {Io::Closed, done};
            if (!WouldBlock()) return {Io::Failed, done};
            const Ready r = WaitUntil(s_, false, deadline);
            if (r == Ready::TimedOut) return {Io::TimedOut, done};
            if (r == Ready::Failed) return {Io::Failed, done};
        }
        return {Io::Done, done};
    }

    void Close() override
    {
        if (s_ != INVALID_SOCKET) ::closesocket(s_);
        s_ = INVALID_SOCKET;
    }

private:
    SOCKET s_;
};

}  // namespace

std::unique_ptr<TcpSocket> TcpSocket::Create()
{
    if (!WinsockStarted()) return nullptr;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return nullptr;
    u_long nonBlocking = 1;
    if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        ::closesocket(s);
        return nullptr;
    }
    return std::make_unique<WinTcpSocket>(s);
}
