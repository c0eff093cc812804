#pragma once
#include <functional>
#include <string>

class PylonLink;
class PylonConfig;
class ProgressLog;
class SerialPort;
class TransferRecorder;
class Waiter;

// Everything a pylon command works with: the program's model, the TCP link,
// the serial port of the window that runs the command, the progress log, the
// fixed pauses, and the window's ways to tell the operator (boxes, the
// pylon picture). The command holds references only; the window owns them.
struct PylonCommandEnv {
    PylonConfig& model;
    PylonLink& link;
    SerialPort& port;
    ProgressLog& log;
    Waiter& waiter;
    // A warning box with the given style (the commands pass 48); UTF-8 text.
    std::function<void(const std::string& text, int style)> warningBox;
    // The standard error box, for a serial port error; UTF-8 text.
    std::function<void(const std::string& text)> errorBox;
    // Redraws the pylon picture from a snapshot of the model.
    std::function<void(const PylonConfig& model)> showPylon;
    // Told about every pylon the command talks to (the send history); none: nothing is recorded.
    TransferRecorder* recorder = nullptr;
};
