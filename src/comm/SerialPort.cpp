#include "comm/SerialPort.h"

#include "comm/SerialPortError.h"
#include "comm/SerialDevice.h"
#include "log/Log.h"
#include "model/Cp1250.h"

namespace {

void LogComm(Log::Level level, const std::string& line) { Log::Write(Log::Category::Comm, level, line); }

void LogBytes(const char* what, const uint8_t* bytes, int count)
{
    if (Log::Enabled(Log::Category::Comm, Log::Level::Debug))
        LogComm(Log::Level::Debug, std::string(what) + " " + Log::Hex(bytes, size_t(count > 0 ? count : 0)));
}

}  // namespace

SerialPort::SerialPort() : device_(SerialDevice::Create()) {}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Connected() const { return device_->IsOpen(); }

void SerialPort::Open()
{
    if (Connected()) return;
    const std::string where = DevicePath(port_) + " at " + std::to_string(RateOf(baudRate_)) + " baud";
    try {
        OpenDevice();
    } catch (const SerialPortError& e) {
        LogComm(Log::Level::Warning, "cannot open serial port " + where + ": " + e.what());
        throw;
    }
    LogComm(Log::Level::Info, "opened serial port " + where);
}

void SerialPort::OpenDevice()
{
    if (OnBeforeOpen) OnBeforeOpen();
    if (const int error = device_->Open(DevicePath(port_)); error != 0)
        throw SerialPortError(SerialPortError::OpenFailed, error);
    try {
        if (const int error = device_->SetupQueues(QueueSize); error != 0)
            throw SerialPortError(SerialPortError::SetupFailed, error);
        if (const int error = device_->SetLine(RateOf(baudRate_)); error != 0)
            throw SerialPortError(SerialPortError::SetStateFailed, error);
        const Timeouts& t = timeouts;
        const SerialDevice::Timeouts limits{t.readInterval, t.readTotalPerByte, t.readTotalConstant,
                                            t.writeTotalPerByte, t.writeTotalConstant};
        if (const int error = device_->SetTimeouts(limits); error != 0)
            throw SerialPortError(SerialPortError::SetTimeoutsFailed, error > 0 ? error : -1);
    } catch (...) {
        device_->Close();
        throw;
    }
    if (OnAfterOpen) OnAfterOpen();
}

void SerialPort::Close()
{
    if (!Connected()) return;
    if (OnBeforeClose) OnBeforeClose();
    device_->Close();
    LogComm(Log::Level::Info, "closed serial port " + DevicePath(port_));
    if (OnAfterClose) OnAfterClose();
}

void SerialPort::SetPort(const std::string& name)
{
    if (name == port_) return;
    port_ = name;
    if (Connected()) {
        Close();
        Open();
    }
}

void SerialPort::SetBaudRate(int code)
{
    if (code == baudRate_) return;
    baudRate_ = code;
    if (Connected())
        if (const int error = device_->SetLine(RateOf(baudRate_)); error != 0)
            throw SerialPortError(SerialPortError::SetStateFailed, error);
}

int SerialPort::Write(const uint8_t* bytes, int count)
{
    if (!Connected()) throw SerialPortError(SerialPortError::PortNotOpen);
    if (count <= 0) return 0;
    const int total = timeouts.writeTotalPerByte * count + timeouts.writeTotalConstant;
    const SerialDevice::Transfer t = device_->Write(bytes, count, total);
    LogBytes("sent", bytes, t.count);
    if (t.error != 0) {
        LogComm(Log::Level::Warning, "serial write failed, system error " + std::to_string(t.error));
        throw SerialPortError(SerialPortError::WriteFailed, t.error);
    }
    if (t.count < count)
        LogComm(Log::Level::Warning, "serial write: " + std::to_string(t.count) + " of " + std::to_string(count) +
                                         " bytes before the time-out");
    return t.count;
}

int SerialPort::Read(uint8_t* bytes, int count)
{
    if (!Connected()) throw SerialPortError(SerialPortError::PortNotOpen);
    if (count <= 0) return 0;
    const int total = timeouts.readTotalPerByte * count + timeouts.readTotalConstant;
    const SerialDevice::Transfer t = device_->Read(bytes, count, timeouts.readInterval, total);
    LogBytes("received", bytes, t.count);
    if (t.error != 0) {
        LogComm(Log::Level::Warning, "serial read failed, system error " + std::to_string(t.error));
        throw SerialPortError(SerialPortError::ReadFailed, t.error);
    }
    if (t.count < count)
        LogComm(Log::Level::Warning, "serial read: " + std::to_string(t.count) + " of " + std::to_string(count) +
                                         " bytes before the time-out");
    return t.count;
}

int SerialPort::RateOf(int code)
{
    static const int rates[] = {9600,  110,   300,   600,   1200,  2400,   4800,   9600,
                                14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    // 0 is the port's custom rate; a code from nowhere (a damaged file) gets the same.
    if (code < 0 || code >= int(sizeof rates / sizeof rates[0])) return 9600;
    return rates[code];
}

std::vector<std::string> SerialPort::ExistingPorts() { return SerialDevice::ListPorts(); }

std::string SerialPort::DevicePath(const std::string& name)
{
    // Port names are model texts (Windows-1250); device files are named in UTF-8.
    return SerialDevice::PathOf(Cp1250::ToUtf8(name));
}
