#pragma once
#include <string>

// The progress log the pylon commands write into (the information window).
// Every appended line is visible at once, although the command blocks the
// event loop.
class ProgressLog {
public:
    virtual ~ProgressLog() = default;
    // Shows the log (not modal); showing clears it.
    virtual void ShowLog() = 0;
    // Closes (hides) the log window.
    virtual void CloseLog() = 0;
    // Appends one line (UTF-8) and repaints the log at once.
    virtual void AppendLine(const std::string& line) = 0;
};
