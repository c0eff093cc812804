#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// One TCP client connection to a pylon, as the link needs it: a connect with
// a time limit, and writes and reads that each end by a deadline. Every wait
// is bounded, so a pylon that falls silent never hangs the program.
class TcpSocket {
public:
    enum class Io {
        Done,      // all bytes moved (or, for a wait: data or an end is ready)
        TimedOut,  // the deadline passed first
        Closed,    // the pylon closed the connection before all bytes came
        Failed,    // the system reported an error
    };
    struct Transfer {
        Io status;
        size_t count;  // bytes moved before the transfer ended
    };

    virtual ~TcpSocket() = default;

    // A new, unconnected socket; null when the system has none to give.
    static std::unique_ptr<TcpSocket> Create();

    // Connects to an IPv4 address (host byte order) and port; gives up after
    // `timeoutMs`. Returns 0, or the system's error number (ETIMEDOUT for the limit).
    virtual int Connect(uint32_t address, uint16_t port, int timeoutMs) = 0;
    // Readies the connected socket for the link's frames; 0 or the error number.
    virtual int PrepareStream() = 0;
    // Writes all bytes unless the deadline passes or the connection fails.
    virtual Transfer Write(const uint8_t* bytes, size_t count, int timeoutMs) = 0;
    // Waits until something can be read: data, or the end of the connection.
    virtual Io WaitReadable(int timeoutMs) = 0;
    // Reads until `count` bytes are in, the deadline passes or the connection ends.
    virtual Transfer Read(uint8_t* bytes, size_t count, int timeoutMs) = 0;
    virtual void Close() = 0;
};
