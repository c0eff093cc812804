#include "ui/main/SingleInstance.h"

#include <memory>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

// One request per connection: "LMQ-OPEN " + the file's name as UTF-8 in
// Base64 (empty for none) + "\n"; the answer is "OK\n".
const QByteArray Verb = QByteArrayLiteral("LMQ-OPEN ");
const QByteArray Answer = QByteArrayLiteral("OK\n");
constexpr int MaxRequest = 64 * 1024;

}  // namespace

SingleInstance::SingleInstance(const QString& key, const QString& folder)
{
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    base_ = QDir(folder).filePath(QStringLiteral("LumarqPylon-") + QString::fromLatin1(hash));
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: the first runs for days. A lock whose process is
    // gone is stale all the same.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() { StopListening(); }

QString SingleInstance::RuntimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

SingleInstance::Role SingleInstance::Start(const QString& file)
{
    const QDeadlineTimer deadline(3000);
    for (;;) {
        if (lock_->tryLock(0)) {
            // Holding the lock, a socket left by a killed first is ours to remove.
            QLocalServer::removeServer(ServerName());
            server_ = std::make_unique<QLocalServer>();
            server_->setSocketOptions(QLocalServer::UserAccessOption);
            connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::Serve);
            server_->listen(ServerName());
            return Role::First;
        }
        if (Hand(file)) return Role::Handed;
        // The first may be starting (not listening yet) or ending.
        if (deadline.hasExpired()) return Role::NoAnswer;
        QThread::msleep(50);
    }
}

void SingleInstance::StopListening()
{
    if (server_) server_->close();
    server_.reset();
}

bool SingleInstance::Hand(const QString& file)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(500)) return false;
    socket.write(Verb + file.toUtf8().toBase64() + '\n');
    if (!socket.waitForBytesWritten(1000)) return false;
    QByteArray reply;
    const QDeadlineTimer deadline(3000);
    while (!reply.endsWith('\n') && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) break;
        reply += socket.readAll();
    }
    return reply == Answer;
}

void SingleInstance::Serve()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, pending] {
            *pending += socket->readAll();
            const qsizetype end = pending->indexOf('\n');
            if (end < 0) {
                if (pending->size() > MaxRequest) socket->disconnectFromServer();
                return;
            }
            const QByteArray line = pending->left(end);
            pending->clear();
            if (!line.startsWith(Verb)) {
                socket->disconnectFromServer();
                return;
            }
            const QString file = QString::fromUtf8(QByteArray::fromBase64(line.mid(Verb.size())));
            socket->write(Answer);
            socket->flush();
            socket->disconnectFromServer();
            emit Requested(file);
        });
    }
}

// Its own object file, so that a program without the check links no Qt Network.
#include "moc_SingleInstance.cpp"
