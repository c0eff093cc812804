#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SerialDevice;

// The serial transport to the pylon: 8N1, raw, no flow control, DTR and RTS
// held inactive. Read and write time-outs follow the pylon's original driver:
// a read ends when all bytes arrived, when the interval time-out passes
// without a next byte, or when the total time-out (per byte plus constant)
// has passed; the result is the number of bytes that arrived.
class SerialPort {
public:
    // Baud-rate codes as the model's ComSpeed holds them.
    enum BaudRateCode {
        BaudCustom = 0,
        Baud110,
        Baud300,
        Baud600,
        Baud1200,
        Baud2400,
        Baud4800,
        Baud9600,
        Baud14400,
        Baud19200,
        Baud38400,
        Baud56000,
        Baud57600,
        Baud115200,
        Baud128000,
        Baud256000
    };

    // Time-outs in milliseconds; tests shorten them.
    struct Timeouts {
        int readInterval = 3000;
        int readTotalPerByte = 3000;
        int readTotalConstant = 3000;
        int writeTotalPerByte = 100;
        int writeTotalConstant = 1000;
    };
    static constexpr int QueueSize = 1024;

    SerialPort();
    // Releasing an open port closes it, close events included: the handlers
    // must still be callable then.
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool Connected() const;
    // Raises SerialPortError on failure; does nothing when already open.
    void Open();
    void Close();
    void SetPort(const std::string& name);
    void SetBaudRate(int code);
    const std::string& Port() const { return port_; }
    int BaudRate() const { return baudRate_; }

    // Returns how many bytes were written or arrived.
    int Write(const uint8_t* bytes, int count);
    int Read(uint8_t* bytes, int count);

    Timeouts timeouts;

    std::function<void()> OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose;

    // The rate of a code (0 is the port's custom rate, 9600).
    static int RateOf(int code);
    // The serial ports of this machine, by the names a ComName holds.
    static std::vector<std::string> ExistingPorts();
    // The device a port name opens: "/dev/" + name, or the name when it starts
    // with "/"; on Windows "\\.\" + name.
    static std::string DevicePath(const std::string& name);

private:
    void OpenDevice();

    std::unique_ptr<SerialDevice> device_;
    std::string port_ = "COM1";
    int baudRate_ = Baud9600;
};
