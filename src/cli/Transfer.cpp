#include "cli/Transfer.h"

#include <chrono>

#include "comm/ConfigTransfer.h"
#include "comm/PylonCommandEnv.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"

Session::Session(bool quiet) : log(quiet)
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

PylonResult Session::Send(const K_PYLON& config, const Target& target, bool verify)
{
    K_PYLON model(config);
    return Run(model, target, true, verify);
}

PylonResult Session::Download(const Target& target, K_PYLON& into)
{
    K_PYLON model(into);
    PylonResult r = Run(model, target, false, false);
    // Only the fields the pylon sent change; the file keeps its names,
    // its pylon list and its serial settings.
    if (r.succeeded) {
        into.Prices = [&] {
            auto prices = model.Prices;
            for (int i = 0; i < 7; ++i) prices[i].Name = into.Prices[i].Name;
            return prices;
        }();
        into.Conf = model.Conf;
        into.UseGamma = model.UseGamma;
        into.FontConf = model.FontConf;
    }
    return r;
}

PylonResult Session::Run(K_PYLON& model, const Target& target, bool send, bool verify)
{
    (void)verify;
    AimAt(model, target);
    std::string error;
    PylonCommandEnv env{model,
                        link,
                        port,
                        log,
                        waiter,
                        [this](const std::string& text, int) { log.AppendLine(text); },
                        [&error, this](const std::string& text) {
                            error = text;
                            log.AppendLine(text);
                        },
                        [](const K_PYLON&) {}};
    ConfigTransfer transfer(env);
    const auto start = std::chrono::steady_clock::now();
    const size_t first = log.lines.size();
    if (send) transfer.Send();
    else transfer.Download();

    // What the log showed, read back into a result per step.
    PylonResult r;
    r.target = target.Label();
    r.name = target.name;
    r.error = error;
    r.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const std::vector<std::string> lines(log.lines.begin() + long(first), log.lines.end());
    auto has = [&](int msg) {
        for (const auto& l : lines)
            if (l == Msg[msg]) return true;
        return false;
    };
    const bool talked = has(send ? MsgSending : MsgReading);
    TransferStep connect;
    connect.ok = talked;
    r.steps.push_back(connect);
    if (talked) {
        TransferStep last;
        last.kind = TransferStep::Kind::Header;
        last.ok = has(MsgOk);
        if (!last.ok && !lines.empty()) last.message = lines.back();
        r.steps.push_back(last);
    } else if (!lines.empty()) {
        r.steps.back().message = lines.back();
    }
    r.succeeded = error.empty() && has(MsgOk);
    return r;
}

int ExitCodeOf(const PylonResult& r)
{
    if (r.succeeded) return ExitOk;
    if (r.verify == VerifyOutcome::Differs) return ExitDiffers;
    // Nothing went through: the connection or the port failed, or (on the
    // serial line, where a missing pylon looks so) the first header got no reply.
    bool anyOk = false;
    for (const TransferStep& s : r.steps)
        if (s.ok && s.kind != TransferStep::Kind::Connect) anyOk = true;
    if (r.steps.empty() || (!r.steps.back().ok && r.steps.back().kind == TransferStep::Kind::Connect))
        return ExitUnreachable;
    if (!r.error.empty() && !anyOk) return ExitUnreachable;
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
    if (r.verify == VerifyOutcome::Differs) {
        std::string text = std::to_string(r.differences.size()) + " difference(s)";
        for (const auto& line : r.verifyLines) text += "; " + line;
        return text;
    }
    if (!r.error.empty()) return r.error;
    for (auto it = r.steps.rbegin(); it != r.steps.rend(); ++it)
        if (!it->ok) return it->message.empty() ? "result " + std::to_string(it->code) : it->message;
    return "no result";
}

namespace {

// The fields that travel both ways, compared; the gamma byte is 0 when gamma is off.
std::vector<ConfigDifference> CompareOnWire(const K_PYLON& sent, const K_PYLON& held)
{
    std::vector<ConfigDifference> out;
    for (int i = 0; i < 7; ++i) {
        const K_PRICE& a = sent.Prices[i];
        const K_PRICE& b = held.Prices[i];
        if (a.Price != b.Price || !(a.Conf == b.Conf)) {
            ConfigDifference d;
            d.line = i + 1;
            d.sentLine = a;
            d.heldLine = b;
            out.push_back(d);
        }
    }
    auto field = [&](ConfigDifference::Field f, int s, int h) {
        if (s == h) return;
        ConfigDifference d;
        d.field = f;
        d.sent = s;
        d.held = h;
        out.push_back(d);
    };
    field(ConfigDifference::Field::Left, sent.Conf.Left, held.Conf.Left);
    field(ConfigDifference::Field::Right, sent.Conf.Right, held.Conf.Right);
    field(ConfigDifference::Field::Sensor, sent.Conf.Sensor, held.Conf.Sensor);
    field(ConfigDifference::Field::Gamma, sent.UseGamma ? sent.Conf.Gamma : 0, held.UseGamma ? held.Conf.Gamma : 0);
    field(ConfigDifference::Field::BasicFont, sent.FontConf.BasicFont, held.FontConf.BasicFont);
    field(ConfigDifference::Field::UpperIndex, sent.FontConf.UpperIndex, held.FontConf.UpperIndex);
    return out;
}

}  // namespace

PylonResult Session::Verify(const K_PYLON& config, const Target& target)
{
    K_PYLON held(config);
    PylonResult r = Download(target, held);
    if (!r.succeeded) {
        r.verify = VerifyOutcome::ReadFailed;
        return r;
    }
    r.differences = CompareOnWire(config, held);
    r.verify = r.differences.empty() ? VerifyOutcome::Verified : VerifyOutcome::Differs;
    r.succeeded = r.differences.empty();
    return r;
}
