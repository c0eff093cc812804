#include "comm/Cancel.h"

#include <chrono>
#include <thread>

// Windows: the socket and the serial port bound their own waits, so a
// cancelled command ends at its next wait; pauses look at the token every
// few milliseconds. There is no wake-up descriptor.
namespace {

thread_local const CancelToken* current = nullptr;

using Clock = std::chrono::steady_clock;

}  // namespace

CancelToken::CancelToken() = default;

CancelToken::~CancelToken() = default;

void CancelToken::Cancel() { cancelled_.store(true); }

const CancelToken* CancelToken::Current() { return current; }

int CancelToken::Poll(int, short, int)
{
    // Descriptors are a POSIX notion; nothing on Windows waits through here.
    ThrowIfCancelled();
    return -1;
}

void CancelToken::Sleep(int ms)
{
    ThrowIfCancelled();
    const auto end = Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
    while (Clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
        ThrowIfCancelled();
    }
}

CancelScope::CancelScope(const CancelToken& token) : previous_(current) { current = &token; }

CancelScope::~CancelScope() { current = previous_; }

void ThrowIfCancelled()
{
    if (current && current->Cancelled()) throw TransferCancelled();
}
