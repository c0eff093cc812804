#include "comm/SerialPortError.h"

namespace {

std::string Text(int code, int osError)
{
    std::string text = SerialPortError::MessageFor(code);
    if (osError >= 0) text += " (Error: " + std::to_string(osError) + ")";
    return text;
}

}  // namespace

SerialPortError::SerialPortError(int code, int osError)
    : std::runtime_error(Text(code, osError)), code_(code), osError_(osError)
{}

std::string SerialPortError::MessageFor(int code)
{
    switch (code) {
    case OpenFailed: return "Unable to open com port";
    case WriteFailed: return "WriteFile function failed";
    case ReadFailed: return "ReadFile function failed";
    case AsyncParameter: return "Invalid Async parameter";
    case AsyncStatus: return "Unable to get async status";
    case SetStateFailed: return "SetCommState function failed";
    case SetTimeoutsFailed: return "SetCommTimeouts failed";
    case SetupFailed: return "SetupComm function failed";
    case PortNotOpen: return "Port Not Open";
    default: return "Serial port error " + std::to_string(code);
    }
}
