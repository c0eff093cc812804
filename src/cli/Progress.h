#pragma once
#include <string>
#include <vector>

#include "comm/ProgressLog.h"
#include "comm/Waiter.h"

// The progress log of the command line: every line the window's log would
// show goes to standard error as it happens, nothing when quiet. There is no
// window to show or close.
class StderrLog : public ProgressLog {
public:
    explicit StderrLog(bool quiet) : quiet_(quiet) {}
    void ShowLog() override {}
    void CloseLog() override {}
    void AppendLine(const std::string& line) override;

    // Every line since the program started.
    std::vector<std::string> lines;

private:
    bool quiet_;
};

// The window pauses after a success so that the operator can read its log;
// a script has nothing to read, so the command line does not wait.
class NoWaiter : public Waiter {
public:
    void Wait(int) override {}
};

// Loads the numbered messages of "PL", "EN", "HU" or "DE" (any letter case)
// from the texts compiled into the program; false for any other code.
bool LoadLanguage(const std::string& code);

// The message of a configuration file's result code (0, 1 to 6, 100, 200).
std::string FileResultText(int result);
