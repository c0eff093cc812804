#pragma once
#include <string>

#include "comm/TransferResult.h"

class PylonConfig;

// Told about every pylon a command talked to, as soon as that pylon's
// result is final (before the log's closing pause), so that a program
// stopped in the middle of a list keeps what was done. What it does with
// it (the send history) is its own affair: it must never stop or change
// the command.
class TransferRecorder {
public:
    virtual ~TransferRecorder() = default;

    // A command (one Send, Download or service command, to every pylon of
    // the list) starts.
    virtual void CommandStarted() = 0;
    // One pylon is done. action: "send", "download", "settings" or "test";
    // sent: the configuration a Send sent, else null; detail: a service
    // command's parameters ("prices 7, digits 6", "test 1").
    virtual void PylonDone(const std::string& action, const PylonResult& pylon, const PylonConfig* sent,
                           const std::string& detail) = 0;
};

// The recorder's names of a command's steps: "connect", "header 20",
// "digits", "line settings", "fonts", "price block", "font block",
// "settings", "test code"; another block "block 33".
std::string StepName(const TransferStep& step);
