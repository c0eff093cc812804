#pragma once
#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>

// The local socket between instances of the program, one implementation per
// system: a Unix-domain socket on POSIX (Qt Core's socket notifiers, so that
// no instance loads Qt Network), Qt's local socket (a named pipe) on Windows.
// The two ends speak in lines: one request ended by '\n', one answer.
class LocalServer {
public:
    // Takes a request line (without its '\n'); returns the answer to write
    // before the connection closes, or nothing to close it unanswered.
    using Answer = std::function<std::optional<QByteArray>(const QByteArray& line)>;
    // Told after the answer has gone and the connection is closed.
    using Answered = std::function<void(const QByteArray& line)>;

    // Listens at `name`, for the current user only; null when it cannot. A
    // connection that sends more than `maxRequest` bytes without a line end
    // is closed.
    static std::unique_ptr<LocalServer> Listen(const QString& name, Answer answer, Answered answered, int maxRequest);
    // Removes what a killed server left at `name`.
    static void RemoveStale(const QString& name);

    virtual ~LocalServer() = default;
};

// Sends `request` (a line with its '\n') to the server at `name` and returns
// its answer up to and with the '\n'; empty when there is no server, or it
// took longer than `connectMs` to connect or `answerMs` to answer.
QByteArray AskLocalServer(const QString& name, const QByteArray& request, int connectMs, int answerMs);
