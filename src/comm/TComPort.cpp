#include "comm/TComPort.h"

#include "comm/EComPort.h"
#include "comm/SerialDevice.h"
#include "model/Cp1250.h"

TComPort::TComPort() : device_(SerialDevice::Create()) {}

TComPort::~TComPort()
{
    Close();
}

bool TComPort::Connected() const
{
    return device_->IsOpen();
}

void TComPort::Open()
{
    if (Connected()) return;
    if (OnBeforeOpen) OnBeforeOpen();
    if (const int error = device_->Open(DevicePath(port_)); error != 0) throw EComPort(EComPort::OpenFailed, error);
    try {
        if (const int error = device_->SetupQueues(QueueSize); error != 0)
            throw EComPort(EComPort::SetupFailed, error);
        if (const int error = device_->SetLine(RateOf(baudRate_)); error != 0)
            throw EComPort(EComPort::SetStateFailed, error);
        const Timeouts& t = timeouts;
        if (t.readInterval < 0 || t.readTotalPerByte < 0 || t.readTotalConstant < 0 || t.writeTotalPerByte < 0 ||
            t.writeTotalConstant < 0)
            throw EComPort(EComPort::SetTimeoutsFailed);
    } catch (...) {
        device_->Close();
        throw;
    }
    if (OnAfterOpen) OnAfterOpen();
}

void TComPort::Close()
{
    if (!Connected()) return;
    if (OnBeforeClose) OnBeforeClose();
    device_->Close();
    if (OnAfterClose) OnAfterClose();
}

void TComPort::SetPort(const std::string& name)
{
    if (name == port_) return;
    port_ = name;
    if (Connected()) {
        Close();
        Open();
    }
}

void TComPort::SetBaudRate(int code)
{
    if (code == baudRate_) return;
    baudRate_ = code;
    if (Connected())
        if (const int error = device_->SetLine(RateOf(baudRate_)); error != 0)
            throw EComPort(EComPort::SetStateFailed, error);
}

int TComPort::Write(const uint8_t* bytes, int count)
{
    if (!Connected()) throw EComPort(EComPort::PortNotOpen);
    if (count <= 0) return 0;
    const int total = timeouts.writeTotalPerByte * count + timeouts.writeTotalConstant;
    const SerialDevice::Transfer t = device_->Write(bytes, count, total);
    if (t.error != 0) throw EComPort(EComPort::WriteFailed, t.error);
    return t.count;
}

int TComPort::Read(uint8_t* bytes, int count)
{
    if (!Connected()) throw EComPort(EComPort::PortNotOpen);
    if (count <= 0) return 0;
    const int total = timeouts.readTotalPerByte * count + timeouts.readTotalConstant;
    const SerialDevice::Transfer t = device_->Read(bytes, count, timeouts.readInterval, total);
    if (t.error != 0) throw EComPort(EComPort::ReadFailed, t.error);
    return t.count;
}

int TComPort::RateOf(int code)
{
    static const int rates[] = {9600,  110,   300,   600,    1200,   2400,  4800,   9600,
                                14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    // 0 is the port's custom rate; a code from nowhere (a damaged file) gets the same.
    if (code < 0 || code >= int(sizeof rates / sizeof rates[0])) return 9600;
    return rates[code];
}

std::vector<std::string> TComPort::ExistingPorts()
{
    return SerialDevice::ListPorts();
}

std::string TComPort::DevicePath(const std::string& name)
{
    // Port names are model texts (Windows-1250); device files are named in UTF-8.
    const std::string file = Cp1250::ToUtf8(name);
    if (!file.empty() && file[0] == '/') return file;
    return "/dev/" + file;
}
