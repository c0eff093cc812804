#include "comm/SerialDevice.h"

#include <algorithm>
#include <windows.h>

#include "model/WideText_win.h"

namespace {

// One overlapped transfer: started, then waited for until the port's
// time-outs end it. Only one runs at a time, so the port keeps one event.
class Overlapped {
public:
    explicit Overlapped(HANDLE event)
    {
        ::ResetEvent(event);
        ov_.hEvent = event;
    }
    OVERLAPPED* Get() { return &ov_; }
    // The bytes moved; `error` set when the transfer failed.
    int Finish(HANDLE port, BOOL started, int& error)
    {
        if (!started) {
            const DWORD e = ::GetLastError();
            if (e != ERROR_IO_PENDING) {
                error = int(e);
                return 0;
            }
        }
        DWORD moved = 0;
        if (!::GetOverlappedResult(port, &ov_, &moved, TRUE)) {
            const DWORD e = ::GetLastError();
            // A time-out of the port ends a transfer with what came so far.
            if (e != ERROR_OPERATION_ABORTED && e != ERROR_TIMEOUT) error = int(e);
        }
        return int(moved);
    }

private:
    OVERLAPPED ov_{};
};

// The Win32 communications device: "\\.\COMn" opened for overlapped input
// and output; queue sizes, line settings and time-outs kept by the system.
class WinSerialDevice : public SerialDevice {
public:
    ~WinSerialDevice() override
    {
        Close();
        if (event_) ::CloseHandle(event_);
    }

    int Open(const std::string& path) override
    {
        if (!event_) event_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!event_) return int(::GetLastError());
        const HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OVERLAPPED, nullptr);
        if (h == INVALID_HANDLE_VALUE) return int(::GetLastError());
        handle_ = h;
        return 0;
    }

    void Close() override
    {
        if (handle_ == INVALID_HANDLE_VALUE) return;
        // Pending transfers are abandoned, what is queued is dropped.
        ::PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    int SetupQueues(int size) override
    {
        if (!::SetupComm(handle_, DWORD(size), DWORD(size))) return int(::GetLastError());
        xonLimit_ = WORD(size / 4);
        if (!::PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
            return int(::GetLastError());
        return 0;
    }

    int SetLine(int rate) override
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handle_, &dcb)) return int(::GetLastError());
        dcb.BaudRate = DWORD(rate);
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fTXContinueOnXoff = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fAbortOnError = FALSE;
        dcb.XonLim = xonLimit_;
        dcb.XoffLim = xonLimit_;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        if (!::SetCommState(handle_, &dcb)) return int(::GetLastError());
        return 0;
    }

    int SetTimeouts(const Timeouts& t) override
    {
        if (t.readInterval < 0 || t.readPerByte < 0 || t.readConstant < 0 || t.writePerByte < 0 || t.writeConstant < 0)
            return -1;
        COMMTIMEOUTS ct{};
        ct.ReadIntervalTimeout = DWORD(t.readInterval);
        ct.ReadTotalTimeoutMultiplier = DWORD(t.readPerByte);
        ct.ReadTotalTimeoutConstant = DWORD(t.readConstant);
        ct.WriteTotalTimeoutMultiplier = DWORD(t.writePerByte);
        ct.WriteTotalTimeoutConstant = DWORD(t.writeConstant);
        if (!::SetCommTimeouts(handle_, &ct)) return int(::GetLastError());
        return 0;
    }

    // The limits are the port's time-outs, which the system applies itself.
    Transfer Read(uint8_t* bytes, int count, int, int) override
    {
        Transfer t;
        Overlapped ov(event_);
        const BOOL started = ::ReadFile(handle_, bytes, DWORD(count), nullptr, ov.Get());
        t.count = ov.Finish(handle_, started, t.error);
        return t;
    }

    Transfer Write(const uint8_t* bytes, int count, int) override
    {
        Transfer t;
        Overlapped ov(event_);
        const BOOL started = ::WriteFile(handle_, bytes, DWORD(count), nullptr, ov.Get());
        t.count = ov.Finish(handle_, started, t.error);
        return t;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = nullptr;
    WORD xonLimit_ = 256;
};

}  // namespace

std::unique_ptr<SerialDevice> SerialDevice::Create() { return std::make_unique<WinSerialDevice>(); }

std::string SerialDevice::PathOf(const std::string& name) { return "\\\\.\\" + name; }

// COM1 to COM100, each that the system gives a default configuration for.
std::vector<std::string> SerialDevice::ListPorts()
{
    std::vector<std::string> ports;
    for (int n = 1; n <= 100; ++n) {
        const std::string name = "COM" + std::to_string(n);
        static_assert(sizeof(COMMCONFIG) == 52, "the configuration record the query fills");
        COMMCONFIG config{};
        DWORD size = sizeof config;
        config.dwSize = size;
        if (::GetDefaultCommConfigW(Wide(name).c_str(), &config, &size)) ports.push_back(name);
    }
    return ports;
}
