#include "cli/Commands.h"

#include <algorithm>
#include <functional>
#include <cstdio>
#include <sstream>

#ifndef LMQ_NO_HISTORY
#include "cli/HistoryReport.h"
#endif
#include "cli/Report.h"
#include "cli/Target.h"
#include "cli/Transfer.h"
#ifndef LMQ_NO_HISTORY
#include "history/History.h"
#include "history/HistoryPlatform.h"
#endif
#include "model/Cp1250.h"
#include "model/FileHeader.h"

namespace {

void PrintJson(const Json& j)
{
    const std::string text = j.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

Json Head(const char* command) { return Json{{"schema", JsonSchemaVersion}, {"command", command}}; }

// Says that `file` could not be read or written (the file's result code `r`),
// on standard error and, with --json, as the command's result.
int FileFailure(const Options& o, const char* command, const std::string& file, const char* verb, int r)
{
    const std::string text = std::string("cannot ") + verb + " " + file + ": " + FileResultText(r);
    Complain(text);
    if (o.json) {
        Json j = Head(command);
        j["file"] = file;
        j["result"] = ResultName(ExitFile);
        j["exit_code"] = int(ExitFile);
        j["file_result"] = r;
        j["message"] = text;
        PrintJson(j);
    }
    return ExitFile;
}

// Reads a configuration file the way the window opens one, into a model
// that belongs to no session: pylonctl never reads or writes the per-user store.
int Load(const Options& o, const char* command, const std::string& file, PylonConfig& model)
{
    FileHeader header;
    const int r = model.LoadFromFile(file, header);
    return r == 0 ? ExitOk : FileFailure(o, command, file, "read", r);
}

int Save(const Options& o, const char* command, const std::string& file, const PylonConfig& model)
{
    FileHeader header;
    const int r = model.SaveToFile(file, header);
    return r == 0 ? ExitOk : FileFailure(o, command, file, "write", r);
}

int Usage(const std::string& text)
{
    Complain(text);
    return ExitUsage;
}

const char* VerifyName(VerifyOutcome v)
{
    switch (v) {
    case VerifyOutcome::NotRun: return "not_run";
    case VerifyOutcome::Verified: return "verified";
    case VerifyOutcome::Differs: return "differs";
    case VerifyOutcome::ReadFailed: return "read_failed";
    }
    return "not_run";
}

const char* StepName(TransferStep::Kind k)
{
    switch (k) {
    case TransferStep::Kind::Connect: return "connect";
    case TransferStep::Kind::Header: return "header";
    case TransferStep::Kind::Block: return "block";
    case TransferStep::Kind::ReadBlock: return "read_block";
    }
    return "connect";
}

const char* FieldName(ConfigDifference::Field f)
{
    switch (f) {
    case ConfigDifference::Field::Line: return "line";
    case ConfigDifference::Field::Left: return "left";
    case ConfigDifference::Field::Right: return "right";
    case ConfigDifference::Field::Sensor: return "sensor";
    case ConfigDifference::Field::Gamma: return "gamma";
    case ConfigDifference::Field::BasicFont: return "basic_font";
    case ConfigDifference::Field::UpperIndex: return "upper_index";
    }
    return "line";
}

Json ResultJson(const char* command, const std::string& file, const Target& t, const PylonResult& r, int code)
{
    Json j = Head(command);
    if (!file.empty()) j["file"] = file;
    j["target"] = t.Label();
    j["transport"] = t.kind == Target::Kind::Network ? "tcp" : "serial";
    j["name"] = t.name;
    j["result"] = ResultName(code);
    j["exit_code"] = code;
    j["message"] = code == ExitOk ? std::string("OK") : FailureText(r);
    Json steps = Json::array();
    for (const TransferStep& s : r.steps)
        steps.push_back({{"kind", StepName(s.kind)},
                         {"command", s.command},
                         {"code", s.code},
                         {"message", s.message},
                         {"ok", s.ok}});
    j["steps"] = steps;
    j["verify"] = VerifyName(r.verify);
    Json diffs = Json::array();
    for (const ConfigDifference& d : r.differences) {
        Json dj{{"field", FieldName(d.field)}};
        if (d.field == ConfigDifference::Field::Line) {
            dj["line"] = d.line;
            dj["sent"] = PriceText(d.sentLine);
            dj["held"] = PriceText(d.heldLine);
            dj["sent_display"] = DisplayText(d.sentLine);
            dj["held_display"] = DisplayText(d.heldLine);
        } else {
            dj["sent"] = d.sent;
            dj["held"] = d.held;
        }
        diffs.push_back(dj);
    }
    j["differences"] = diffs;
    j["elapsed_ms"] = r.elapsedMs;
    return j;
}

// One line per target on standard output; with --quiet only the failures.
void PrintResult(const Options& o, const char* command, const std::string& file, const Target& t, const PylonResult& r,
                 int code, const Json* extra = nullptr)
{
    if (o.json) {
        Json j = ResultJson(command, file, t, r, code);
        if (extra) j["configuration"] = *extra;
        PrintJson(j);
        return;
    }
    if (o.quiet && code == ExitOk) return;
    std::string line = t.Label();
    if (!t.name.empty()) line += " (" + t.name + ")";
    line += ": ";
    if (code == ExitOk) line += r.verify == VerifyOutcome::Verified ? "OK, verified" : "OK";
    else line += std::string(ResultName(code)) + " (exit " + std::to_string(code) + "): " + FailureText(r);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The targets named on the line, then the file's active pylons with --network.
int CollectTargets(const TransferArgs& a, const PylonConfig* model, std::vector<Target>& out)
{
    for (const std::string& text : a.targets) {
        std::string error;
        auto t = ParseTarget(text, error);
        if (!t) return Usage(error);
        out.push_back(*t);
    }
    if (a.network) {
        const std::vector<Target> list = NetworkTargets(*model);
        if (list.empty()) return Usage(a.file + " has no active pylon in its list (--network)");
        out.insert(out.end(), list.begin(), list.end());
    }
    if (out.empty()) return Usage("no target: give IP[:PORT], serial:NAME[@BAUD] or --network");
    return ExitOk;
}

bool ParseFont(const std::string& text, FontSettings& font)
{
    if (text.size() != 3 || text[1] != ',' || text[0] < '0' || text[0] > '9' || text[2] < '0' || text[2] > '2')
        return false;
    font.BasicFont = uint8_t(text[0] - '0');
    font.UpperIndex = uint8_t(text[2] - '0');
    return true;
}

}  // namespace

void Complain(const std::string& text)
{
    std::fputs(("pylonctl: " + text + "\n").c_str(), stderr);
    std::fflush(stderr);
}

int ShowCommand(const Options& o, const std::string& file)
{
    PylonConfig model;
    if (const int r = Load(o, "show", file, model)) return r;
    if (o.json) {
        Json j = Head("show");
        j["file"] = file;
        j.update(ConfigurationJson(model));
        PrintJson(j);
    } else {
        std::fputs(ConfigurationText(model).c_str(), stdout);
    }
    return ExitOk;
}

int SetCommand(const Options& o, const SetArgs& a)
{
    PylonConfig model;
    if (!a.fresh)
        if (const int r = Load(o, "set", a.file, model)) return r;
    if (std::string error = ApplyEdits(model, a.edits); !error.empty()) return Usage(error);
    const std::string out = a.out.empty() ? a.file : a.out;
    if (const int r = Save(o, "set", out, model)) return r;
    if (o.json) {
        Json j = Head("set");
        j["file"] = out;
        j.update(ConfigurationJson(model));
        PrintJson(j);
    }
    return ExitOk;
}

// Loads the file (with --font laid over it) and serves each target in turn
// with `serve`; the highest exit code wins.
int ServeTargets(const Options& o, const TransferArgs& a, const char* command,
                 const std::function<PylonResult(Session&, const PylonConfig&, const Target&)>& serve)
{
    PylonConfig model;
    FontSettings font;
    if (a.font && !ParseFont(*a.font, font))
        return Usage("--font " + *a.font + ": basic font 0 to 9 and upper index 0 to 2, as B,U");
    if (const int r = Load(o, command, a.file, model)) return r;
    if (a.font) model.FontConf = font;
    std::vector<Target> targets;
    if (const int r = CollectTargets(a, &model, targets)) return r;

    Session session(o.quiet);
    int worst = ExitOk;
    for (const Target& t : targets) {
        const PylonResult r = serve(session, model, t);
        const int code = ExitCodeOf(r, t);
        worst = std::max(worst, code);
        PrintResult(o, command, a.file, t, r, code);
    }
    return worst;
}

int SendCommand(const Options& o, const TransferArgs& a)
{
    return ServeTargets(o, a, "send",
                        [&](Session& s, const PylonConfig& m, const Target& t) { return s.Send(m, t, a.verify); });
}

int DownloadCommand(const Options& o, const TransferArgs& a)
{
    if (a.network) return Usage("download reads one pylon: give IP[:PORT] or serial:NAME[@BAUD], not --network");
    if (a.targets.size() != 1) return Usage("download reads one pylon: give exactly one TARGET");
    PylonConfig model;
    if (!a.base.empty())
        if (const int r = Load(o, "download", a.base, model)) return r;
    std::vector<Target> targets;
    if (const int r = CollectTargets(a, nullptr, targets)) return r;

    Session session(o.quiet);
    const PylonResult r = session.Download(targets.front(), model);
    int code = ExitCodeOf(r, targets.front());
    if (code == ExitOk) code = Save(o, "download", a.out, model);
    if (code == ExitFile) return code;
    const Json configuration = ConfigurationJson(model);
    PrintResult(o, "download", a.out, targets.front(), r, code, code == ExitOk ? &configuration : nullptr);
    return code;
}

int VerifyCommand(const Options& o, const TransferArgs& a)
{
    return ServeTargets(o, a, "verify",
                        [](Session& s, const PylonConfig& m, const Target& t) { return s.Verify(m, t); });
}

int HistoryCommand(const Options& o, const HistoryArgs& a)
{
    if (a.csv && o.json) return Usage("give either --csv or --json");
#ifdef LMQ_NO_HISTORY
    (void)a;
    Complain("this build of pylonctl keeps no send history (see pylonctl --version)");
    return ExitFile;
#else
    HistoryFilter filter;
    filter.target = a.target;
    if (a.target.rfind("serial:", 0) == 0) {
        // The history names a serial pylon by its port and rate.
        std::string error;
        const auto t = ParseTarget(a.target, error);
        if (!t) return Usage(error);
        filter.target = Cp1250::ToUtf8(t->device) + " " + std::to_string(SerialPort::RateOf(t->speedCode));
    }
    if (a.failed) filter.result = HistoryFilter::Result::Failed;
    if (!a.since.empty()) {
        const auto from = ParseLocalMoment(a.since, false);
        if (!from) return Usage("--since " + a.since + ": not YYYY-MM-DD[ HH:MM[:SS]]");
        filter.fromUtcMs = *from;
    }
    if (!a.until.empty()) {
        const auto to = ParseLocalMoment(a.until, true);
        if (!to) return Usage("--until " + a.until + ": not YYYY-MM-DD[ HH:MM[:SS]]");
        filter.toUtcMs = *to;
    }

    // Reading the history never creates it.
    const std::string path = History::DefaultPath();
    if (!HistoryPlatform::Exists(path)) {
        if (a.csv) std::fputs((History::CsvHeader() + "\r\n").c_str(), stdout);
        return ExitOk;
    }
    History history(path);
    if (!history.Open()) {
        Complain("cannot read the send history " + path + ": " + history.LastError());
        return ExitFile;
    }
    if (a.csv) {
        std::ostringstream out;
        const bool ok = history.ExportCsv(filter, out);
        std::fputs(out.str().c_str(), stdout);
        if (ok) return ExitOk;
        Complain("cannot read the send history " + path + ": " + history.LastError());
        return ExitFile;
    }
    HistoryCursor cursor;
    constexpr int Page = 500;
    for (;;) {
        const std::vector<HistoryRecord> page = history.Query(filter, Page, cursor);
        for (const HistoryRecord& r : page) {
            if (o.json) PrintJson(HistoryJson(r));
            else std::fputs((HistoryLineText(r) + "\n").c_str(), stdout);
        }
        if (int(page.size()) < Page) break;
        cursor = {page.back().utcMs, page.back().id};
    }
    if (!history.LastError().empty()) {
        Complain("cannot read the send history " + path + ": " + history.LastError());
        return ExitFile;
    }
    return ExitOk;
#endif
}
