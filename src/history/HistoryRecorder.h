#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "comm/TransferRecorder.h"
#include "history/HistoryRecord.h"

class History;
class ProgressLog;

// Writes every pylon a command reports to its TransferRecorder into the send
// history, one record each, as soon as it is reported. A history that
// cannot be written never stops the command: the progress log (when given)
// says so once per command, the diagnostic log every time.
class HistoryRecorder : public TransferRecorder {
public:
    // program: "LumarqPylon" or "pylonctl"; version: the program's version text.
    HistoryRecorder(History& history, std::string program, std::string version, ProgressLog* log = nullptr);

    void CommandStarted() override;
    void PylonDone(const std::string& action, const PylonResult& pylon, const PylonConfig* sent,
                   const std::string& detail) override;

    // The record of one pylon as it is written (time from utcClock, less the elapsed time).
    HistoryRecord MakeRecord(const std::string& action, const PylonResult& pylon, const PylonConfig* sent,
                             const std::string& detail) const;

    // The log the failure line goes to; may change between commands.
    void SetLog(ProgressLog* log) { log_ = log; }
    // How many records could not be written.
    int Failures() const { return failures_; }

    // The clock of the records, UTC ms; tests set it.
    std::function<int64_t()> utcClock;

private:
    History& history_;
    std::string program_;
    std::string version_;
    std::string user_;
    std::string host_;
    ProgressLog* log_;
    bool warned_ = false;
    std::string movedTold_;  // the moved file the log was told of
    int failures_ = 0;
};
