#pragma once
#include <stdexcept>
#include <string>

// The one error the program throws: a failing operating-system call of the
// serial port. Its text is the message of the code, followed by
// " (Error: n)" when the system gave an error number.
class SerialPortError : public std::runtime_error {
public:
    enum Code {
        OpenFailed = 1,         // "Unable to open com port"
        WriteFailed = 2,        // "WriteFile function failed"
        ReadFailed = 3,         // "ReadFile function failed"
        AsyncParameter = 4,     // "Invalid Async parameter"
        AsyncStatus = 6,        // "Unable to get async status"
        SetStateFailed = 7,     // "SetCommState function failed"
        SetTimeoutsFailed = 8,  // "SetCommTimeouts failed"
        SetupFailed = 9,        // "SetupComm function failed"
        PortNotOpen = 24,       // "Port Not Open"
    };

    SerialPortError(int code, int osError = -1);

    int Code() const { return code_; }
    int OsError() const { return osError_; }
    static std::string MessageFor(int code);

private:
    int code_;
    int osError_;
};
