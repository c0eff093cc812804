#pragma once
#include <optional>
#include <string>
#include <vector>

#include "cli/Edits.h"

// What every command shares: how it reports.
struct Options {
    bool quiet = false;  // no progress lines, no result lines of targets that succeeded
    bool json = false;   // results as JSON, one object per line and per target
    std::string lang = "EN";
};

struct SetArgs {
    std::string file;
    std::string out;  // empty: FILE itself
    bool fresh = false;
    Edits edits;
};

struct TransferArgs {
    std::string file;                  // send and verify: the configuration
    std::vector<std::string> targets;  // as given
    bool network = false;              // the file's active pylons as well
    bool verify = false;               // send: read back and compare
    std::optional<std::string> font;   // send: "B,U", the font block to send
    std::string out;                   // download: the file to write
    std::string base;                  // download: names and lists from this file
};

struct HistoryArgs {
    std::string since, until, target;
    bool failed = false;
    bool csv = false;
};

// Each returns the exit code (see ExitCode in cli/Transfer.h).
int ShowCommand(const Options& o, const std::string& file);
int SetCommand(const Options& o, const SetArgs& a);
int SendCommand(const Options& o, const TransferArgs& a);
int DownloadCommand(const Options& o, const TransferArgs& a);
int VerifyCommand(const Options& o, const TransferArgs& a);
int HistoryCommand(const Options& o, const HistoryArgs& a);

// One line on standard error: "pylonctl: " + text.
void Complain(const std::string& text);
