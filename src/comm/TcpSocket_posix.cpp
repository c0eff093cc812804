#include "comm/TcpSocket.h"

#include "comm/Cancel.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, never negative.
int Remaining(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

Clock::time_point DeadlineIn(int ms) { return Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0); }

// poll() on one descriptor until `deadline`; a cancelled command raises
// TransferCancelled. Returns the revents, 0 on time-out, -1 on error.
int PollUntil(int fd, short events, Clock::time_point deadline)
{
    return CancelToken::Poll(fd, events, Remaining(deadline));
}

class PosixTcpSocket : public TcpSocket {
public:
    explicit PosixTcpSocket(int fd) : fd_(fd) {}
    ~PosixTcpSocket() override { Close(); }

    int Connect(uint32_t address, uint16_t port, int timeoutMs) override
    {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = htonl(address);
        ThrowIfCancelled();
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return 0;
        if (errno != EINPROGRESS && errno != EINTR) return errno;
        // The socket is non-blocking: the handshake runs while we wait for it
        // against our own limit instead of the system's minutes-long one.
        const int revents = PollUntil(fd_, POLLOUT, DeadlineIn(timeoutMs));
        if (revents == 0) return ETIMEDOUT;
        if (revents < 0) return errno;
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0) return errno;
        return error;
    }

    int PrepareStream() override
    {
        // Frames are small and each waits for its reply: send them at once.
        const int one = 1;
        if (::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0) return errno;
        return 0;
    }

    Transfer Write(const uint8_t* bytes, size_t count, int timeoutMs) override
    {
        const auto deadline = DeadlineIn(timeoutMs);
        size_t done = 0;
        ThrowIfCancelled();
        while (done < count) {
            const ssize_t n = ::send(fd_, bytes + done, count - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return {Io::Failed, done};
            const int revents = PollUntil(fd_, POLLOUT, deadline);
            if (revents == 0) return {Io::TimedOut, done};
            if (revents < 0) return {Io::Failed, done};
        }
        return {Io::Done, done};
    }

    Io WaitReadable(int timeoutMs) override
    {
        const int revents = PollUntil(fd_, POLLIN, DeadlineIn(timeoutMs));
        if (revents == 0) return Io::TimedOut;
        if (revents < 0) return Io::Failed;
        return Io::Done;  // data, or an end or error that the read will report
    }

    Transfer Read(uint8_t* bytes, size_t count, int timeoutMs) override
    {
        const auto deadline = DeadlineIn(timeoutMs);
        size_t done = 0;
        ThrowIfCancelled();
        while (done < count) {
            const ssize_t n = ::recv(fd_, bytes + done, count - done, 0);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n == 0) return {Io::Closed, done};
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return {Io::Failed, done};
            const int revents = PollUntil(fd_, POLLIN, deadline);
            if (revents == 0) return {Io::TimedOut, done};
            if (revents < 0) return {Io::Failed, done};
        }
        return {Io::Done, done};
    }

    void Close() override
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<TcpSocket> TcpSocket::Create()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixTcpSocket>(fd);
}
