#include "cli/Transfer.h"

#include "comm/ConfigCompare.h"
#include "comm/ConfigTransfer.h"
#include "comm/PylonCommandEnv.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"
#include "model/Version.h"

#ifndef LMQ_NO_HISTORY
Session::Session(bool quiet) : log(quiet), recorder(history, "pylonctl", ProgramVersionText(), &log)
#else
Session::Session(bool quiet) : log(quiet)
#endif
{
    // The port's own lines, as the window writes them into its log.
    auto portLine = [this](int msg) {
        return [this, msg] { log.AppendLine(Msg[msg] + " " + Cp1250::ToUtf8(port.Port())); };
    };
    port.OnBeforeOpen = portLine(MsgOpeningPort);
    port.OnAfterOpen = portLine(MsgOpenedPort);
    port.OnBeforeClose = portLine(MsgClosingPort);
    port.OnAfterClose = portLine(MsgClosedPort);
}

TransferRecorder* Session::Recorder()
{
#ifndef LMQ_NO_HISTORY
    return &recorder;
#else
    return nullptr;
#endif
}

PylonResult Session::Send(const PylonConfig& config, const Target& target, bool verify)
{
    PylonConfig model(config);
    return Run(model, target, true, verify, Recorder());
}

PylonResult Session::Download(const Target& target, PylonConfig& into)
{
    PylonConfig model(into);
    PylonResult r = Run(model, target, false, false, Recorder());
    // Only the fields the pylon sent change; the file keeps its names,
    // its pylon list and its serial settings.
    if (r.succeeded) {
        for (int i = 0; i < 7; ++i) {
            into.Prices[i].Price = model.Prices[i].Price;
            into.Prices[i].Conf = model.Prices[i].Conf;
        }
        into.Conf = model.Conf;
        into.UseGamma = model.UseGamma;
        into.FontConf = model.FontConf;
    }
    return r;
}

PylonResult Session::Verify(const PylonConfig& config, const Target& target)
{
    PylonConfig held(config);
    // The download is not recorded on its own: the pylon goes into the
    // history once, with what the comparison found.
    PylonResult r = Run(held, target, false, false, nullptr);
    if (!r.succeeded) {
        r.verify = VerifyOutcome::ReadFailed;
        r.verifyLines.push_back(Msg[MsgVerifyReadFailed]);
        log.AppendLine(Msg[MsgVerifyReadFailed]);
    } else {
        r.differences = ConfigCompare::Compare(config, held);
        r.verify = r.differences.empty() ? VerifyOutcome::Verified : VerifyOutcome::Differs;
        r.succeeded = r.differences.empty();
        if (r.differences.empty()) r.verifyLines.push_back(Msg[MsgVerified]);
        for (const ConfigDifference& d : r.differences) r.verifyLines.push_back(ConfigCompare::Describe(d));
        for (const std::string& line : r.verifyLines) log.AppendLine(line);
    }
    if (TransferRecorder* rec = Recorder()) {
        rec->CommandStarted();
        rec->PylonDone("verify", r, &config, {});
    }
    return r;
}

PylonResult Session::Run(PylonConfig& model, const Target& target, bool send, bool verify, TransferRecorder* rec)
{
    AimAt(model, target);
    PylonCommandEnv env{model,
                        link,
                        port,
                        log,
                        waiter,
                        [this](const std::string& text, int) { log.AppendLine(text); },
                        [this](const std::string& text) { log.AppendLine(text); },
                        [](const PylonConfig&) {},
                        rec};
    TransferOptions options;
    options.verifyAfterSend = verify;
    ConfigTransfer transfer(env, options);
    const TransferResult all = send ? transfer.Send() : transfer.Download();
    if (!all.pylons.empty()) return all.pylons.front();
    PylonResult r;  // not reached: a target always makes a list of one
    r.target = target.Label();
    r.error = Msg[MsgUndefinedNetwork];
    return r;
}

int ExitCodeOf(const PylonResult& r, const Target& target)
{
    if (r.succeeded) return ExitOk;
    if (r.verify == VerifyOutcome::Differs) return ExitDiffers;
    bool answered = false;
    for (const TransferStep& s : r.steps)
        if (s.ok && s.kind != TransferStep::Kind::Connect) answered = true;
    if (!answered) {
        // The connection or the port failed; on the serial line a pylon that
        // is not there looks like one that does not answer the first header.
        if (!r.error.empty() || r.steps.empty()) return ExitUnreachable;
        const TransferStep& last = r.steps.back();
        if (last.kind == TransferStep::Kind::Connect) return ExitUnreachable;
        if (target.kind == Target::Kind::Serial && last.code == 6) return ExitUnreachable;
    }
    return ExitRefused;
}

const char* ResultName(int exitCode)
{
    switch (exitCode) {
    case ExitOk: return "ok";
    case ExitUsage: return "usage";
    case ExitFile: return "file";
    case ExitUnreachable: return "unreachable";
    case ExitRefused: return "refused";
    case ExitDiffers: return "differs";
    }
    return "unknown";
}

std::string FailureText(const PylonResult& r)
{
    if (r.succeeded) return {};
    if (r.verify == VerifyOutcome::Differs || r.verify == VerifyOutcome::ReadFailed) {
        std::string text;
        for (const auto& line : r.verifyLines) text += (text.empty() ? "" : "; ") + line;
        if (r.verify == VerifyOutcome::Differs || text.empty()) return text;
    }
    if (!r.error.empty()) return r.error;
    for (auto it = r.steps.rbegin(); it != r.steps.rend(); ++it)
        if (!it->ok) return it->message.empty() ? "result " + std::to_string(it->code) : it->message;
    return "no result";
}
