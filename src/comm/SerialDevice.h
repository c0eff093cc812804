#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The operating system's serial device under SerialPort: open, line settings,
// and reads and writes bounded the way the pylon's original driver bounded
// them. Errors come back as the system's error numbers; SerialPort turns them
// into SerialPortError.
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
    // Input and output queues of the given size, started empty.
    virtual int SetupQueues(int size) = 0;
    // 8 data bits, no parity, 1 stop bit, raw, no flow control, DTR and RTS
    // inactive, at `rate` baud.
    virtual int SetLine(int rate) = 0;
    // The read and write time-outs of the port, in milliseconds: between two
    // received bytes, per byte asked for plus a constant, and per byte written
    // plus a constant. Every Read and Write passes the limits these give for
    // its count; a system that keeps time-outs with the port (Windows) is
    // given them here once.
    struct Timeouts {
        int readInterval, readPerByte, readConstant, writePerByte, writeConstant;
    };
    // 0, the system's error number, or -1 for limits refused without one.
    virtual int SetTimeouts(const Timeouts& t) = 0;
    // Ends when `count` bytes arrived, when `intervalMs` passes without a next
    // byte (counted from the first byte on), or when `totalMs` has passed.
    // A limit of 0 is no limit.
    virtual Transfer Read(uint8_t* bytes, int count, int intervalMs, int totalMs) = 0;
    // Ends when all bytes are handed to the device or `totalMs` has passed (0: no limit).
    virtual Transfer Write(const uint8_t* bytes, int count, int totalMs) = 0;

    // The serial ports of this machine, by port name, in natural order.
    static std::vector<std::string> ListPorts();
    // The device file a port name opens (the name is UTF-8).
    static std::string PathOf(const std::string& name);
};
