#include "ui/main/LocalSocket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>

namespace {

bool Address(const QString& name, sockaddr_un& address)
{
    const QByteArray path = QFile::encodeName(name);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Waits for `events` on `fd` until `deadline`; false when it passed.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(deadline.remainingTime()));
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

class PosixServer : public LocalServer {
public:
    PosixServer(int fd, QByteArray path, Answer answer, Answered answered, int maxRequest)
        : fd_(fd), path_(std::move(path)), answer_(std::move(answer)), answered_(std::move(answered)),
          maxRequest_(maxRequest), listening_(fd, QSocketNotifier::Read)
    {
        QObject::connect(&listening_, &QSocketNotifier::activated, [this] { Accept(); });
    }
    ~PosixServer() override
    {
        for (auto& [fd, connection] : connections_) ::close(fd);
        ::close(fd_);
        ::unlink(path_.constData());
    }

private:
    struct Connection {
        std::unique_ptr<QSocketNotifier> notifier;
        QByteArray pending;
    };

    void Accept()
    {
        for (;;) {
            const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) return;
            Connection& c = connections_[fd];
            c.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QObject::connect(c.notifier.get(), &QSocketNotifier::activated, [this, fd] { Read(fd); });
        }
    }

    void Close(int fd)
    {
        connections_.erase(fd);  // the notifier goes before its socket
        ::close(fd);
    }

    void Read(int fd)
    {
        Connection& c = connections_[fd];
        char buffer[4096];
        bool ended = false;  // the other end closed its side, or failed
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                c.pending.append(buffer, n);
                if (c.pending.size() > maxRequest_) break;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        // A request that came whole is answered even when its sender closed.
        const qsizetype end = c.pending.indexOf('\n');
        if (end < 0) {
            if (ended || c.pending.size() > maxRequest_) Close(fd);
            return;
        }
        const QByteArray line = c.pending.left(end);
        const std::optional<QByteArray> answer = answer_(line);
        if (answer) {
            // A few bytes into an empty socket buffer: written at once.
            for (qsizetype at = 0; at < answer->size();) {
                const ssize_t n = ::send(fd, answer->constData() + at, size_t(answer->size() - at), MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;
                at += n;
            }
        }
        Close(fd);
        if (answer) answered_(line);
    }

    int fd_;
    QByteArray path_;
    Answer answer_;
    Answered answered_;
    int maxRequest_;
    QSocketNotifier listening_;
    std::map<int, Connection> connections_;
};

}  // namespace

std::unique_ptr<LocalServer> LocalServer::Listen(const QString& name, Answer answer, Answered answered, int maxRequest)
{
    sockaddr_un address;
    if (!Address(name, address)) return nullptr;
    // Bound in a folder of the user's own and moved into place, so that the
    // socket is never open to others, even for a moment.
    QByteArray folder = QFile::encodeName(name) + ".XXXXXX";
    if (!::mkdtemp(folder.data())) return nullptr;
    const QByteArray inside = folder + "/s";
    sockaddr_un temporary;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    bool ok = fd >= 0 && Address(QFile::decodeName(inside), temporary) &&
              ::bind(fd, reinterpret_cast<const sockaddr*>(&temporary), sizeof temporary) == 0 &&
              ::chmod(inside.constData(), S_IRWXU) == 0 && ::listen(fd, 16) == 0 &&
              ::rename(inside.constData(), address.sun_path) == 0;
    ::unlink(inside.constData());
    ::rmdir(folder.constData());
    if (!ok) {
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixServer>(fd, QByteArray(address.sun_path), std::move(answer), std::move(answered),
                                         maxRequest);
}

void LocalServer::RemoveStale(const QString& name) { ::unlink(QFile::encodeName(name).constData()); }

QByteArray AskLocalServer(const QString& name, const QByteArray& request, int connectMs, int answerMs)
{
    sockaddr_un address;
    if (!Address(name, address)) return {};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    QByteArray reply;
    const auto done = [&] {
        ::close(fd);
        return reply;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A full queue of a busy first one: wait for it a little.
        if (errno != EAGAIN && errno != EINPROGRESS) return done();
        int error = 0;
        socklen_t size = sizeof error;
        if (!WaitFor(fd, POLLOUT, QDeadlineTimer(connectMs)) ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return done();
    }
    const QDeadlineTimer deadline(answerMs);
    for (qsizetype at = 0; at < request.size();) {
        const ssize_t n = ::send(fd, request.constData() + at, size_t(request.size() - at), MSG_NOSIGNAL);
        if (n > 0) at += n;
        else if (n < 0 && errno == EINTR) continue;
        else if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, deadline)) continue;
        else return done();
    }
    while (!reply.endsWith('\n')) {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) reply.append(buffer, n);
        else if (n < 0 && errno == EINTR) continue;
        else if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLIN, deadline)) continue;
        else break;  // closed, failed, or no answer in time
    }
    return done();
}
