#include "ui/main/LocalSocket.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

class QtServer : public LocalServer {
public:
    QtServer(Answer answer, Answered answered, int maxRequest)
        : answer_(std::move(answer)), answered_(std::move(answered)), maxRequest_(maxRequest)
    {
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        QObject::connect(&server_, &QLocalServer::newConnection, [this] { Serve(); });
    }
    bool Listen(const QString& name) { return server_.listen(name); }

private:
    void Serve()
    {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            auto pending = std::make_shared<QByteArray>();
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, pending] {
                *pending += socket->readAll();
                const qsizetype end = pending->indexOf('\n');
                if (end < 0) {
                    if (pending->size() > maxRequest_) socket->disconnectFromServer();
                    return;
                }
                const QByteArray line = pending->left(end);
                pending->clear();
                const std::optional<QByteArray> answer = answer_(line);
                if (answer) {
                    socket->write(*answer);
                    socket->flush();
                }
                socket->disconnectFromServer();
                if (answer) answered_(line);
            });
        }
    }

    Answer answer_;
    Answered answered_;
    int maxRequest_;
    QLocalServer server_;
};

}  // namespace

std::unique_ptr<LocalServer> LocalServer::Listen(const QString& name, Answer answer, Answered answered, int maxRequest)
{
    auto server = std::make_unique<QtServer>(std::move(answer), std::move(answered), maxRequest);
    if (!server->Listen(name)) return nullptr;
    return server;
}

void LocalServer::RemoveStale(const QString& name) { QLocalServer::removeServer(name); }

QByteArray AskLocalServer(const QString& name, const QByteArray& request, int connectMs, int answerMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectMs)) return {};
    socket.write(request);
    const QDeadlineTimer deadline(answerMs);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return {};
    QByteArray reply;
    while (!reply.endsWith('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) break;
        reply += socket.readAll();
    }
    return reply;
}
