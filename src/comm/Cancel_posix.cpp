#include "comm/Cancel.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

thread_local const CancelToken* current = nullptr;

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return ms > 0 ? int(ms) : 0;
}

}  // namespace

CancelToken::CancelToken()
{
    // Without a pipe the token still cancels, between waits.
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

CancelToken::~CancelToken()
{
    for (int fd : wake_)
        if (fd >= 0) ::close(fd);
}

void CancelToken::Cancel()
{
    if (cancelled_.exchange(true)) return;
    if (wake_[1] >= 0) {
        const char byte = 1;
        while (::write(wake_[1], &byte, 1) < 0 && errno == EINTR) {}
    }
}

const CancelToken* CancelToken::Current() { return current; }

int CancelToken::Poll(int fd, short events, int timeoutMs)
{
    ThrowIfCancelled();
    const CancelToken* token = current;
    const int wakeFd = token ? token->wake_[0] : -1;
    const bool limited = timeoutMs >= 0;
    const auto end = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    for (;;) {
        pollfd p[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        const int n = ::poll(p, wakeFd >= 0 ? 2 : 1, limited ? MsLeft(end) : -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        ThrowIfCancelled();
        return n == 0 ? 0 : p[0].revents;
    }
}

void CancelToken::Sleep(int ms)
{
    if (ms <= 0) return;
    if (!current || current->wake_[0] < 0) {
        ThrowIfCancelled();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        ThrowIfCancelled();
        return;
    }
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (MsLeft(end) > 0) Poll(-1, 0, MsLeft(end));  // a negative descriptor only waits
}

CancelScope::CancelScope(const CancelToken& token) : previous_(current) { current = &token; }

CancelScope::~CancelScope() { current = previous_; }

void ThrowIfCancelled()
{
    if (current && current->Cancelled()) throw TransferCancelled();
}
