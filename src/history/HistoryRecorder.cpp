#include "history/HistoryRecorder.h"

#include <chrono>

#include "comm/ProgressLog.h"
#include "history/History.h"
#include "history/HistoryPlatform.h"
#include "lang/Msg.h"
#include "log/Log.h"

namespace {

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

HistoryRecorder::HistoryRecorder(History& history, std::string program, std::string version, ProgressLog* log)
    : utcClock(NowMs), history_(history), program_(std::move(program)), version_(std::move(version)),
      user_(HistoryPlatform::UserName()), host_(HistoryPlatform::HostName()), log_(log)
{}

void HistoryRecorder::CommandStarted() { warned_ = false; }

HistoryRecord HistoryRecorder::MakeRecord(const std::string& action, const PylonResult& pylon, const PylonConfig* sent,
                                          const std::string& detail) const
{
    HistoryRecord r;
    r.utcMs = utcClock() - pylon.elapsedMs;
    r.utcOffsetMinutes = HistoryPlatform::UtcOffsetMinutes(r.utcMs);
    r.user = user_;
    r.host = host_;
    r.program = program_;
    r.version = version_;
    r.action = action;
    r.pylon = pylon.name;
    r.target = pylon.target;
    r.ok = pylon.succeeded;
    if (sent) DescribeConfiguration(*sent, r);
    r.detail = detail;
    for (const TransferStep& s : pylon.steps) r.steps.push_back({StepName(s), s.code, s.message});
    if (!pylon.error.empty()) r.steps.push_back({"port", -1, pylon.error});
    switch (pylon.verify) {
    case VerifyOutcome::NotRun: r.verified = -1; break;
    case VerifyOutcome::Verified: r.verified = 1; break;
    case VerifyOutcome::Differs: r.verified = 0; break;
    case VerifyOutcome::ReadFailed: r.verified = 2; break;
    }
    if (pylon.verify == VerifyOutcome::Differs || pylon.verify == VerifyOutcome::ReadFailed) {
        for (const std::string& line : pylon.verifyLines) {
            if (!r.differences.empty()) r.differences += '\n';
            r.differences += line;
        }
    }
    r.elapsedMs = pylon.elapsedMs;
    return r;
}

void HistoryRecorder::PylonDone(const std::string& action, const PylonResult& pylon, const PylonConfig* sent,
                                const std::string& detail)
{
    HistoryRecord record = MakeRecord(action, pylon, sent, detail);
    const bool written = history_.Append(record);
    if (history_.MovedAside() != movedTold_) {
        movedTold_ = history_.MovedAside();
        if (log_) log_->AppendLine(Msg[MsgHistoryMovedAside] + " " + movedTold_);
    }
    if (written) return;
    ++failures_;
    Log::Write(Log::Category::Store, Log::Level::Warning,
               "history: the record of " + action + " " + pylon.target + " was not written: " + history_.LastError());
    if (warned_) return;
    warned_ = true;
    if (log_) log_->AppendLine(Msg[MsgHistoryNotWritten]);
}
