#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The operating system's serial device under TComPort: open, line settings,
// and reads and writes bounded the way the pylon's original driver bounded
// them. Errors come back as the system's error numbers; TComPort turns them
// into EComPort.
class SerialDevice {
public:
    struct Transfer {
        int count = 0;  // bytes moved
        int error = 0;  // 0, or the system's error number
    };

    virtual ~SerialDevice() = default;
    static std::unique_ptr<SerialDevice> Create();

    // Opens the device file for reading and writing, shared with nobody.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Starts with empty input and output queues of the given size.
    virtual int SetupQueues(int size) = 0;
    // 8 data bits, no parity, 1 stop bit, raw, no flow control, DTR and RTS
    // inactive, at `rate` baud.
    virtual int SetLine(int rate) = 0;
    // Ends when `count` bytes arrived, when `intervalMs` passes without a next
    // byte (counted from the first byte on), or when `totalMs` has passed.
    // A limit of 0 is no limit.
    virtual Transfer Read(uint8_t* bytes, int count, int intervalMs, int totalMs) = 0;
    // Ends when all bytes are handed to the device or `totalMs` has passed (0: no limit).
    virtual Transfer Write(const uint8_t* bytes, int count, int totalMs) = 0;

    // The serial ports of this machine, by port name, in natural order.
    static std::vector<std::string> ListPorts();
};
