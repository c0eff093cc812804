#include "comm/ConfigTransfer.h"

#include <chrono>

#include "comm/ConfigCompare.h"
#include "comm/SerialPortError.h"
#include "comm/Frames.h"
#include "comm/NetworkCommand.h"
#include "comm/ProgressLog.h"
#include "comm/SerialCommand.h"
#include "comm/SerialPort.h"
#include "comm/TransferRecorder.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"
#include "model/PylonConfig.h"

namespace {

using Kind = TransferStep::Kind;

// Notes one step; true when it met `wanted`.
bool Step(PylonResult& result, Kind kind, uint8_t command, LinkResult code, LinkResult wanted)
{
    result.steps.push_back({kind, command, code, ResultMessage(code), code == wanted});
    return code == wanted;
}

bool AllStepsOk(const PylonResult& result)
{
    for (const TransferStep& s : result.steps)
        if (!s.ok) return false;
    return !result.steps.empty();
}

}  // namespace

ConfigTransfer::ConfigTransfer(PylonCommandEnv env, TransferOptions options)
    : env_(std::move(env)), options_(std::move(options))
{}

void ConfigTransfer::LogMsg(int number) { env_.log.AppendLine(Msg[number]); }

int64_t ConfigTransfer::Now() const
{
    if (options_.clockMs) return options_.clockMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LinkResult ConfigTransfer::ReadSerialReply() { return SerialCommand::ReadReply(env_.port); }

int64_t ConfigTransfer::BeginPylon()
{
    recorded_ = false;
    pylonStart_ = Now();
    return pylonStart_;
}

void ConfigTransfer::RecordPylon(PylonResult& result)
{
    result.elapsedMs = Now() - pylonStart_;
    if (recorded_ || !env_.recorder) return;
    recorded_ = true;
    const bool send = std::string(action_) == "send";
    env_.recorder->PylonDone(action_, result, send ? &env_.model : nullptr, {});
}

TransferResult ConfigTransfer::Send()
{
    TransferResult result;
    result.action = TransferResult::Action::Send;
    action_ = "send";
    if (env_.recorder) env_.recorder->CommandStarted();
    if (env_.model.UseCOM) OnSerialLine(result, &ConfigTransfer::SendSerial);
    else SendNetwork(result);
    return result;
}

TransferResult ConfigTransfer::Download()
{
    TransferResult result;
    result.action = TransferResult::Action::Download;
    action_ = "download";
    if (env_.recorder) env_.recorder->CommandStarted();
    if (env_.model.UseCOM) OnSerialLine(result, &ConfigTransfer::DownloadSerial);
    else DownloadNetwork(result);
    return result;
}

void ConfigTransfer::OnSerialLine(TransferResult& result, void (ConfigTransfer::*serial)(PylonResult&))
{
    PylonResult pylon;
    const int64_t start = BeginPylon();
    // A port error ends the command with the error box; the port may stay
    // open, and the next serial command closes it first.
    try {
        (this->*serial)(pylon);
    } catch (const SerialPortError& e) {
        if (pylon.steps.empty()) pylon.steps.push_back({Kind::Connect, 0, 0, {}, false});
        pylon.error = e.what();
        pylon.succeeded = false;
        env_.errorBox(e.what());
    }
    if (pylon.target.empty()) pylon.target = env_.model.ComName;
    RecordPylon(pylon);
    pylon.elapsedMs = Now() - start;
    result.pylons.push_back(std::move(pylon));
}

// ---------------------------------------------------------------- Send

void ConfigTransfer::SendSerial(PylonResult& result)
{
    SerialPort& port = env_.port;
    env_.log.ShowLog();
    result.target = env_.model.ComName;
    SerialCommand::Reopen(port, env_.model);
    result.target += " " + std::to_string(SerialPort::RateOf(port.BaudRate()));
    result.steps.push_back({Kind::Connect, 0, 0, {}, true});

    SerialCommand::WriteHeader(port, Frames::CmdSendDigits);
    LogMsg(MsgSending);
    bool ok = Step(result, Kind::Header, Frames::CmdSendDigits, ReadSerialReply(), Frames::ReplyAck);
    if (ok) {
        const Frames::DigitsBlock b = Frames::MakeDigitsBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = Step(result, Kind::Block, Frames::CmdSendDigits, ReadSerialReply(), Frames::ReplyAck);
    }
    if (ok) {
        SerialCommand::WriteHeader(port, Frames::CmdSendLineSettings);
        ok = Step(result, Kind::Header, Frames::CmdSendLineSettings, ReadSerialReply(), Frames::ReplyAck);
    }
    if (ok) {
        const Frames::LineSettingsBlock b = Frames::MakeLineSettingsBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = Step(result, Kind::Block, Frames::CmdSendLineSettings, ReadSerialReply(), Frames::ReplyAck);
    }
    if (ok) {
        SerialCommand::WriteHeader(port, Frames::CmdSendFonts);
        ok = Step(result, Kind::Header, Frames::CmdSendFonts, ReadSerialReply(), Frames::ReplyAck);
    }
    if (ok) {
        const Frames::FontBlock b = Frames::MakeFontBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = Step(result, Kind::Block, Frames::CmdSendFonts, ReadSerialReply(), Frames::ReplyAck);
    }

    if (!ok) {
        // Unequal bytes are a bad read; whatever else the pylon answered, the serial line reports a time-out.
        LogMsg(SerialCommand::FailureMessage(result.steps.back().code));
        port.Close();
        return;
    }
    LogMsg(MsgOk);
    result.succeeded = true;
    if (options_.verifyAfterSend) VerifySerial(result);
    RecordPylon(result);
    if (result.succeeded) {
        env_.waiter.Wait(SuccessWait);
        port.Close();
        env_.log.CloseLog();
    } else {
        port.Close();
    }
}

void ConfigTransfer::SendNetwork(TransferResult& all)
{
    if (NetworkCommand::RefuseEmptyList(env_)) {
        all.refused = true;
        return;
    }
    PylonLink& link = env_.link;
    env_.log.ShowLog();

    // The list is read again before each pass.
    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const PylonConfig::NetworkPylon entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        PylonResult& result = all.pylons.emplace_back();
        result.target = Cp1250::ToUtf8(entry.IP) + ":" + std::to_string(entry.Port);
        result.name = Cp1250::ToUtf8(entry.Name);
        BeginPylon();

        LinkResult r = 0;
        const bool connected = NetworkCommand::Connect(env_, entry, Frames::CmdSendDigits, &r);
        Step(result, Kind::Connect, 0, r, 0);
        if (!connected) {
            RecordPylon(result);
            continue;
        }
        LogMsg(MsgSending);

        // Header, reply, block, reply for each of the three blocks; the first
        // step that fails ends the exchange with this pylon.
        const uint8_t commands[3] = {Frames::CmdSendDigits, Frames::CmdSendLineSettings, Frames::CmdSendFonts};
        for (const uint8_t command : commands) {
            link.command = command;
            if ((r = link.SendHeader()) == 0) r = link.ReadReply();
            if (!Step(result, Kind::Header, command, r, Frames::ReplyAck)) break;
            if (command == Frames::CmdSendDigits) r = link.SendPriceDigits(env_.model);
            else if (command == Frames::CmdSendLineSettings) r = link.SendLineSettings(env_.model);
            else r = link.SendFontSettings(env_.model);
            if (r == 0) r = link.ReadReply();
            if (!Step(result, Kind::Block, command, r, Frames::ReplyAck)) break;
        }

        if (r == Frames::ReplyAck) {
            LogMsg(MsgOk);
            result.succeeded = true;
            if (options_.verifyAfterSend) VerifyNetwork(result);
            link.Disconnect();
        } else {
            link.Disconnect();
            ReportExchangeResult(r, env_.log);
        }
        RecordPylon(result);
    }

    // Once, after the last pylon, and only when none failed.
    if (all.AllSucceeded()) {
        env_.waiter.Wait(SuccessWait);
        env_.log.CloseLog();
    }
}

// ---------------------------------------------------------------- verification

void ConfigTransfer::VerifySerial(PylonResult& result)
{
    SerialPort& port = env_.port;
    PylonConfig held;  // a scratch model: no session, the program's model untouched
    bool ok = false;
    SerialCommand::WriteHeader(port, Frames::CmdReadPriceBlock);
    if (Step(result, Kind::Header, Frames::CmdReadPriceBlock, ReadSerialReply(), Frames::ReplyAck)) {
        Frames::PriceBlock prices{};
        port.Read(prices.data(), int(prices.size()));
        ok = Step(result, Kind::ReadBlock, Frames::CmdReadPriceBlock, Frames::DecodePriceBlock(prices, held),
                  Frames::BlockOk);
    }
    if (ok) {
        SerialCommand::WriteHeader(port, Frames::CmdReadFontBlock);
        ok = Step(result, Kind::Header, Frames::CmdReadFontBlock, ReadSerialReply(), Frames::ReplyAck);
    }
    if (ok) {
        Frames::FontBlock fonts{};
        port.Read(fonts.data(), int(fonts.size()));
        ok = Step(result, Kind::ReadBlock, Frames::CmdReadFontBlock, Frames::DecodeFontBlock(fonts, held),
                  Frames::BlockOk);
    }
    Judge(result, ok, held);
}

void ConfigTransfer::VerifyNetwork(PylonResult& result)
{
    PylonLink& link = env_.link;
    PylonConfig held;  // a scratch model: no session, the program's model untouched
    LinkResult r = 0;
    bool ok = false;
    link.command = Frames::CmdReadPriceBlock;
    if ((r = link.SendHeader()) == 0) r = link.ReadReply();
    if (Step(result, Kind::Header, Frames::CmdReadPriceBlock, r, Frames::ReplyAck))
        ok = Step(result, Kind::ReadBlock, Frames::CmdReadPriceBlock, r = link.ReadPriceBlock(held), 0);
    if (ok) {
        link.command = Frames::CmdReadFontBlock;
        if ((r = link.SendHeader()) == 0) r = link.ReadReply();
        ok = Step(result, Kind::Header, Frames::CmdReadFontBlock, r, Frames::ReplyAck);
    }
    if (ok) ok = Step(result, Kind::ReadBlock, Frames::CmdReadFontBlock, r = link.ReadFontBlock(held), 0);
    Judge(result, ok, held);
    // Why the pylon could not be asked, in the words of the link.
    if (!ok) {
        const std::string reason = ResultMessage(r);
        if (!reason.empty()) {
            env_.log.AppendLine(reason);
            result.verifyLines.push_back(reason);
        }
    }
}

void ConfigTransfer::Judge(PylonResult& result, bool readBack, const PylonConfig& held)
{
    auto say = [&](const std::string& line) {
        env_.log.AppendLine(line);
        result.verifyLines.push_back(line);
    };
    if (!readBack) {
        result.verify = VerifyOutcome::ReadFailed;
        result.succeeded = false;
        say(Msg[MsgVerifyReadFailed]);
        return;
    }
    result.differences = ConfigCompare::Compare(env_.model, held);
    if (result.differences.empty()) {
        result.verify = VerifyOutcome::Verified;
        say(Msg[MsgVerified]);
        return;
    }
    result.verify = VerifyOutcome::Differs;
    result.succeeded = false;
    for (const ConfigDifference& d : result.differences) say(ConfigCompare::Describe(d));
}

// ---------------------------------------------------------------- Download

void ConfigTransfer::DownloadSerial(PylonResult& result)
{
    SerialPort& port = env_.port;
    env_.log.ShowLog();
    result.target = env_.model.ComName;
    SerialCommand::Reopen(port, env_.model);
    result.target += " " + std::to_string(SerialPort::RateOf(port.BaudRate()));
    result.steps.push_back({Kind::Connect, 0, 0, {}, true});

    SerialCommand::WriteHeader(port, Frames::CmdReadPriceBlock);
    LogMsg(MsgSending);
    if (!Step(result, Kind::Header, Frames::CmdReadPriceBlock, ReadSerialReply(), Frames::ReplyAck)) {
        LogMsg(SerialCommand::FailureMessage(result.steps.back().code));
        port.Close();
        return;
    }

    // Bytes that do not arrive stay 0 and the checksum decides; a block that
    // fails it leaves the model as it was.
    Frames::PriceBlock prices{};
    port.Read(prices.data(), int(prices.size()));
    if (!Step(result, Kind::ReadBlock, Frames::CmdReadPriceBlock, Frames::DecodePriceBlock(prices, env_.model),
              Frames::BlockOk)) {
        LogMsg(MsgCrcError);
        port.Close();
        return;
    }

    SerialCommand::WriteHeader(port, Frames::CmdReadFontBlock);
    if (!Step(result, Kind::Header, Frames::CmdReadFontBlock, ReadSerialReply(), Frames::ReplyAck)) {
        LogMsg(SerialCommand::FailureMessage(result.steps.back().code));
    } else {
        Frames::FontBlock fonts{};
        port.Read(fonts.data(), int(fonts.size()));
        if (Step(result, Kind::ReadBlock, Frames::CmdReadFontBlock, Frames::DecodeFontBlock(fonts, env_.model),
                 Frames::BlockOk))
            LogMsg(MsgOk);
    }
    result.succeeded = AllStepsOk(result);

    // The verified prices are shown even when the fonts did not arrive.
    port.Close();
    RecordPylon(result);
    env_.showPylon(env_.model);
    env_.waiter.Wait(SuccessWait);
    env_.log.CloseLog();
}

void ConfigTransfer::DownloadNetwork(TransferResult& all)
{
    if (NetworkCommand::RefuseEmptyList(env_)) {
        all.refused = true;
        return;
    }
    PylonLink& link = env_.link;
    env_.log.ShowLog();
    // The log closes when every pylon's price block arrived intact: those
    // prices are shown, even if the fonts then failed ("OK" is missing then).
    bool everyPriceBlock = true;

    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const PylonConfig::NetworkPylon entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        PylonResult& result = all.pylons.emplace_back();
        result.target = Cp1250::ToUtf8(entry.IP) + ":" + std::to_string(entry.Port);
        result.name = Cp1250::ToUtf8(entry.Name);
        BeginPylon();
        auto done = [&] { RecordPylon(result); };

        LinkResult r = 0;
        const bool connected = NetworkCommand::Connect(env_, entry, Frames::CmdReadPriceBlock, &r);
        Step(result, Kind::Connect, 0, r, 0);
        if (!connected) {
            everyPriceBlock = false;
            done();
            continue;
        }
        LogMsg(MsgReading);

        // Ends the exchange with this pylon after a failure before the prices arrived.
        auto fail = [&] {
            link.Disconnect();
            ReportResult(r, env_.log);
            everyPriceBlock = false;
            done();
        };
        if ((r = link.SendHeader()) != 0) {
            Step(result, Kind::Header, Frames::CmdReadPriceBlock, r, Frames::ReplyAck);
            fail();
            continue;
        }
        if (!Step(result, Kind::Header, Frames::CmdReadPriceBlock, r = link.ReadReply(), Frames::ReplyAck)) {
            LogMsg(MsgReadError);
            fail();
            continue;
        }
        if (!Step(result, Kind::ReadBlock, Frames::CmdReadPriceBlock, r = link.ReadPriceBlock(env_.model), 0)) {
            env_.log.AppendLine(Msg[MsgReadError] + " " + std::to_string(r));
            fail();
            continue;
        }

        link.command = Frames::CmdReadFontBlock;
        if ((r = link.SendHeader()) != 0) {
            Step(result, Kind::Header, Frames::CmdReadFontBlock, r, Frames::ReplyAck);
        } else if (!Step(result, Kind::Header, Frames::CmdReadFontBlock, r = link.ReadReply(), Frames::ReplyAck)) {
            env_.log.AppendLine(Msg[MsgReadError] + " " + std::to_string(r));
        } else if (Step(result, Kind::ReadBlock, Frames::CmdReadFontBlock, link.ReadFontBlock(env_.model), 0)) {
            LogMsg(MsgOk);
        }
        result.succeeded = AllStepsOk(result);

        env_.showPylon(env_.model);
        link.Disconnect();
        done();
    }

    if (!all.pylons.empty() && everyPriceBlock) {
        env_.waiter.Wait(SuccessWait);
        env_.log.CloseLog();
    }
}
