#include "ui/main/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include "ui/main/LocalSocket.h"

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
            LocalServer::RemoveStale(ServerName());
            server_ = LocalServer::Listen(
                ServerName(),
                [](const QByteArray& line) -> std::optional<QByteArray> {
                    if (!line.startsWith(Verb)) return std::nullopt;
                    return Answer;
                },
                [this](const QByteArray& line) {
                    emit Requested(QString::fromUtf8(QByteArray::fromBase64(line.mid(Verb.size()))));
                },
                MaxRequest);
            return Role::First;
        }
        if (Hand(file)) return Role::Handed;
        // The first may be starting (not listening yet) or ending.
        if (deadline.hasExpired()) return Role::NoAnswer;
        QThread::msleep(50);
    }
}

void SingleInstance::StopListening() { server_.reset(); }

bool SingleInstance::Hand(const QString& file)
{
    return AskLocalServer(ServerName(), Verb + file.toUtf8().toBase64() + '\n', 500, 3000) == Answer;
}

// Its own object file: a program without the check links none of it.
#include "moc_SingleInstance.cpp"
