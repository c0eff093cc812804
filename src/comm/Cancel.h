#pragma once
#include <atomic>
#include <stdexcept>

// Raised inside a wait of a pylon command when the operator cancelled it.
class TransferCancelled : public std::runtime_error {
public:
    TransferCancelled() : std::runtime_error("transfer cancelled") {}
};

// Ends a running pylon command from another thread. The command's thread
// holds the token through a CancelScope; once Cancel is called, the wait that
// thread is in (a connect, a read or write of the link or the serial port, a
// pause) ends at once, and every later one raises TransferCancelled before
// it starts.
class CancelToken {
public:
    CancelToken();
    ~CancelToken();
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Any thread, any number of times.
    void Cancel();
    bool Cancelled() const { return cancelled_.load(); }

    // The calling thread's token, or null outside a CancelScope.
    static const CancelToken* Current();

    // Waits for `events` on one descriptor up to `timeoutMs` (-1: no limit),
    // as poll() does, but raises TransferCancelled when the calling thread's
    // token is cancelled before or during the wait. Restarts after signals.
    // Returns the descriptor's revents, 0 after the time-out, -1 on an error.
    static int Poll(int fd, short events, int timeoutMs);
    // Sleeps `ms` unless the thread's token is cancelled first (then raises).
    static void Sleep(int ms);

private:
    std::atomic<bool> cancelled_{false};
    int wake_[2] = {-1, -1};  // readable once cancelled
    friend class CancelScope;
};

// Makes `token` the calling thread's token while it lives.
class CancelScope {
public:
    explicit CancelScope(const CancelToken& token);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    const CancelToken* previous_;
};

// Raises TransferCancelled when the calling thread's token is cancelled.
void ThrowIfCancelled();
