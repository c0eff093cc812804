#pragma once
#include <cstddef>
#include <cstdint>

#include "comm/PylonLink.h"

class PylonConfig;
class SerialPort;

// The steps every serial command shares: the port reopened on the operator's
// port name and speed, the header written, the two-byte reply read.
class SerialCommand {
public:
    // Closes the port if it is open (an earlier error may have left it so),
    // takes the model's ComName and, unless it is 0, ComSpeed, and opens it.
    // Raises SerialPortError when the port cannot be opened.
    static void Reopen(SerialPort& port, const PylonConfig& model);

    // Writes "K" "d" "4" + command. The count written is not looked at: a
    // write that does not complete shows up as a missing reply.
    static void WriteHeader(SerialPort& port, uint8_t command);
    static void WriteBytes(SerialPort& port, const uint8_t* bytes, size_t count);

    // Port not open: 0. One read of two bytes: fewer than two arrived → 6,
    // two equal bytes → that byte, otherwise 0.
    static LinkResult ReadReply(SerialPort& port);

    // The message a serial command logs when a reply other than OK ends it:
    // unequal bytes are a bad read, anything else reads as the time-out.
    static int FailureMessage(LinkResult reply);
};
