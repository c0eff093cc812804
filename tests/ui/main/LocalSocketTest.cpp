// The instances' local socket: one request line, one answer, for the user
// only, gone with its server.
#include <gtest/gtest.h>

#include <cstring>
#include <future>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "ui/main/LocalSocket.h"

namespace {

// Runs `ask` on a thread of its own while this one serves, and returns its result.
QByteArray Served(const std::function<QByteArray()>& ask)
{
    auto result = std::async(std::launch::async, ask);
    const QDeadlineTimer deadline(10000);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return result.get();
}

// Connects, sends `bytes` raw and ends its side, then reads what comes until
// the server closes.
QByteArray Raw(const QString& name, const QByteArray& bytes)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, name.toUtf8().constData(), sizeof address.sun_path - 1);
    QByteArray reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        for (qsizetype at = 0; at < bytes.size();) {
            const ssize_t n = ::send(fd, bytes.constData() + at, size_t(bytes.size() - at), MSG_NOSIGNAL);
            if (n <= 0) break;
            at += n;
        }
        ::shutdown(fd, SHUT_WR);
        char buffer[64];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) reply.append(buffer, n);
    }
    ::close(fd);
    return reply;
}

TEST(LocalSocket, AnswersEachRequestLineOnceAndClosesOnAnythingElse)
{
    TempDir dir;
    const QString name = QString::fromStdString(dir.File("instance.socket"));
    QList<QByteArray> answered;
    auto server = LocalServer::Listen(
        name,
        [](const QByteArray& line) -> std::optional<QByteArray> {
            if (!line.startsWith("ASK ")) return std::nullopt;
            return "OK " + line.mid(4) + "\n";
        },
        [&](const QByteArray& line) { answered << line; }, 1024);
    ASSERT_TRUE(server);

    struct Case {
        const char* what;
        QByteArray sent;
        QByteArray reply;
    };
    const Case cases[] = {
        {"a request", "ASK one\n", "OK one\n"},
        {"bytes after the line end are not a second request", "ASK two\nASK three\n", "OK two\n"},
        {"another verb", "TELL four\n", ""},
        {"too long without a line end", QByteArray(4096, 'A'), ""},
        {"closed before the line end", "ASK five", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Served([&] { return Raw(name, c.sent); }), c.reply) << c.what;
    EXPECT_EQ(answered, QList<QByteArray>({"ASK one", "ASK two"}));

    EXPECT_EQ(Served([&] { return AskLocalServer(name, "ASK six\n", 500, 3000); }), "OK six\n");
    EXPECT_EQ(answered.size(), 3);

    struct stat st {};
    ASSERT_EQ(::stat(name.toUtf8().constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0077, 0u) << "for the user only";
    EXPECT_EQ(
        QDir(QString::fromStdString(dir.Path())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
        QStringList{"instance.socket"})
        << "nothing left of the socket's making";

    server.reset();
    EXPECT_FALSE(QFileInfo::exists(name)) << "gone with its server";
    EXPECT_EQ(AskLocalServer(name, "ASK seven\n", 500, 3000), "") << "nobody listens";
}

TEST(LocalSocket, AServerThatNeverAnswersCostsTheAskerItsTimeOnly)
{
    TempDir dir;
    const QString name = QString::fromStdString(dir.File("silent.socket"));
    // A socket that is listened on but never served.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, name.toUtf8().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    EXPECT_EQ(AskLocalServer(name, "ASK\n", 500, 200), "");
    ::close(fd);

    LocalServer::RemoveStale(name);
    EXPECT_FALSE(QFileInfo::exists(name));
    auto server = LocalServer::Listen(
        name, [](const QByteArray&) { return std::optional<QByteArray>("OK\n"); }, [](const QByteArray&) {}, 64);
    EXPECT_TRUE(server) << "listens where a stale socket was removed";
}

}  // namespace
