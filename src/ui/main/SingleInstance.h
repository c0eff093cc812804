#pragma once
#include <memory>
#include <QObject>
#include <QString>

class LocalServer;
class QLockFile;

// One running program per user store. The first start takes a lock file in
// the user's run-time folder and listens on a local socket beside it; a later
// start finds the lock taken, hands its file argument (or only the wish to
// be seen) to the first over the socket, and ends. A lock whose program was
// killed is stale and taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` tells instances apart: the store's location, so that two stores
    // (two users, or a test's own folder) have an instance each.
    explicit SingleInstance(const QString& key, const QString& folder = RuntimeFolder());
    ~SingleInstance() override;

    enum class Role {
        First,     // this process holds the lock and listens
        Handed,    // the running program took the request
        NoAnswer,  // the lock is held but nobody answers
    };
    // Becomes the first or hands `file` (an absolute name, or empty) to it.
    // Waits at most a few seconds for a first one that is starting or ending.
    Role Start(const QString& file);
    // Closes the socket; the lock stays until the object goes.
    void StopListening();

    QString LockPath() const { return base_ + QStringLiteral(".lock"); }
    QString ServerName() const { return base_ + QStringLiteral(".socket"); }

    // The user's run-time folder, else the temporary folder.
    static QString RuntimeFolder();

signals:
    // A later start asked for the window, with a file to open or none.
    void Requested(const QString& file);

private:
    bool Hand(const QString& file);

    QString base_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<LocalServer> server_;
};
