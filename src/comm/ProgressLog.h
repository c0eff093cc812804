#pragma once
#include <string>

// The progress log the pylon commands write into (the information window).
// A command may call it from its own thread; each call has taken effect when
// it returns, so every line is in the log before the command goes on.
class ProgressLog {
public:
    virtual ~ProgressLog() = default;
    // Shows the log (not modal); showing clears it.
    virtual void ShowLog() = 0;
    // Closes (hides) the log window.
    virtual void CloseLog() = 0;
    // Appends one line (UTF-8).
    virtual void AppendLine(const std::string& line) = 0;
};
