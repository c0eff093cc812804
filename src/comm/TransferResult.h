#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "comm/ConfigCompare.h"
#include "comm/PylonLink.h"

// What a Send or a Download did with each pylon it reached, for the send
// history and for scripts. Texts are UTF-8 in the language of the moment.

// One exchange of a pylon command: a frame written and what came of it.
struct TransferStep {
    enum class Kind {
        Connect,    // the TCP connection, or opening the serial port
        Header,     // the header of `command` and the pylon's reply to it
        Block,      // the block written after `command`'s header and the reply to it
        ReadBlock,  // the block read after `command`'s header
    };
    Kind kind = Kind::Connect;
    uint8_t command = 0;  // the header's command the step belongs to; 0 for Connect
    // The link's result: a local failure 1 to 7, the pylon's reply (170 accepted,
    // 101, 204, 254, or 0 for unequal bytes), and for a block read 0 or 204.
    LinkResult code = 0;
    std::string message;  // the message of `code` as the log words it; empty when it has none
    bool ok = false;      // the step went as the exchange needs

    bool operator==(const TransferStep&) const = default;
};

// Whether the pylon was asked for its configuration after sending, and what came of it.
enum class VerifyOutcome {
    NotRun,      // verification off, or the send did not get that far
    Verified,    // the pylon holds every field that was sent
    Differs,     // it holds something else: see `differences`
    ReadFailed,  // its configuration could not be read back
};

// One pylon of a command.
struct PylonResult {
    // "IP:port" for a network pylon; the port name and its rate ("ttyUSB0 9600") on the serial line.
    std::string target;
    std::string name;                 // the operator's name of a network pylon (UTF-8); empty on the serial line
    std::vector<TransferStep> steps;  // in the order they ran; the last one ended the exchange
    // A serial port error that ended the command (the error box's text); empty otherwise.
    std::string error;
    bool succeeded = false;  // every step went through, and verification, when it ran, found no difference
    VerifyOutcome verify = VerifyOutcome::NotRun;
    std::vector<ConfigDifference> differences;  // with Differs
    std::vector<std::string> verifyLines;       // what the log showed for the verification
    int64_t elapsedMs = 0;                      // from the connection (or the port's opening) to the last step

    bool operator==(const PylonResult&) const = default;
};

// One Send or Download: a result for every active pylon, in list order.
struct TransferResult {
    enum class Action { Send, Download };
    Action action = Action::Send;
    // The network list was empty: the warning box was shown and nothing was tried.
    bool refused = false;
    std::vector<PylonResult> pylons;

    // At least one pylon, and every one succeeded.
    bool AllSucceeded() const
    {
        if (pylons.empty()) return false;
        for (const PylonResult& p : pylons)
            if (!p.succeeded) return false;
        return true;
    }
};
