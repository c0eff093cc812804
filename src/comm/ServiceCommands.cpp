#include "comm/ServiceCommands.h"

#include "comm/SerialPortError.h"
#include "comm/Frames.h"
#include "comm/NetworkCommand.h"
#include "comm/ProgressLog.h"
#include "comm/SerialCommand.h"
#include <chrono>

#include "comm/SerialPort.h"
#include "comm/TransferRecorder.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"
#include "model/PylonConfig.h"

ServiceCommands::ServiceCommands(PylonCommandEnv env) : env_(std::move(env)) {}

LinkResult ServiceCommands::ReadServiceReply() { return SerialCommand::ReadReply(env_.port); }

namespace {

using Kind = TransferStep::Kind;

int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void ServiceCommands::BeginPylon(uint8_t command, const uint8_t* payload, const std::string& target,
                                 const std::string& name)
{
    pylon_ = PylonResult{};
    pylon_.target = target;
    pylon_.name = name;
    // The operator's choices, not the list indexes on the wire.
    action_ = command == Frames::CmdServiceSettings ? "settings" : "test";
    detail_ = command == Frames::CmdServiceSettings
                  ? "prices " + std::to_string(payload[0] + 1) + ", digits " + std::to_string(payload[1] + 1)
                  : "test " + std::to_string(payload[0]);
    start_ = SteadyMs();
    pending_ = true;
}

bool ServiceCommands::Note(Kind kind, uint8_t command, LinkResult code, const std::string& message)
{
    const bool ok = kind == Kind::Connect ? code == 0 : code == Frames::ReplyAck;
    pylon_.steps.push_back({kind, command, code, message, ok});
    return ok;
}

bool ServiceCommands::Note(Kind kind, uint8_t command, LinkResult code)
{
    return Note(kind, command, code, ResultMessage(code));
}

void ServiceCommands::EndPylon(bool ok)
{
    if (!pending_) return;
    pending_ = false;
    pylon_.succeeded = ok;
    pylon_.elapsedMs = SteadyMs() - start_;
    if (env_.recorder) env_.recorder->PylonDone(action_, pylon_, nullptr, detail_);
}

void ServiceCommands::PortError(const std::string& what)
{
    if (pylon_.steps.empty()) pylon_.steps.push_back({Kind::Connect, 0, 0, {}, false});
    pylon_.error = what;
    EndPylon(false);
    env_.errorBox(what);
}

std::string ServiceCommands::TestResultLine(LinkResult result)
{
    switch (result) {
    case 6: return Msg[MsgReadTimeout];
    case Frames::ReplyMemoryError: return Msg[MsgMemoryError];
    case Frames::ReplyAck: return Msg[MsgOk];
    case Frames::ReplyInvalidCommand: return Msg[MsgInvalidCommand];
    default: return Msg[MsgReadError];
    }
}

void ServiceCommands::SendSettings(uint8_t pricesIndex, uint8_t digitsIndex)
{
    if (env_.recorder) env_.recorder->CommandStarted();
    if (env_.model.UseCOM) {
        try {
            SendSettingsSerial(pricesIndex, digitsIndex);
        } catch (const SerialPortError& e) {
            PortError(e.what());
        }
        return;
    }
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    const Frames::ServiceSettings payload = Frames::MakeServiceSettings(pricesIndex, digitsIndex);
    RunNetwork(Frames::CmdServiceSettings, payload.data(), payload.size());
}

void ServiceCommands::RunTest(uint8_t testCode)
{
    if (env_.recorder) env_.recorder->CommandStarted();
    if (env_.model.UseCOM) {
        try {
            RunTestSerial(testCode);
        } catch (const SerialPortError& e) {
            PortError(e.what());
        }
        return;
    }
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    RunNetwork(Frames::CmdServiceTest, &testCode, 1);
}

void ServiceCommands::SendSettingsSerial(uint8_t first, uint8_t second)
{
    SerialPort& port = env_.port;
    env_.log.ShowLog();
    const uint8_t choice[2] = {first, second};
    BeginPylon(Frames::CmdServiceSettings, choice, env_.model.ComName, {});
    SerialCommand::Reopen(port, env_.model);
    pylon_.target += " " + std::to_string(SerialPort::RateOf(port.BaudRate()));
    Note(Kind::Connect, 0, 0, {});

    SerialCommand::WriteHeader(port, Frames::CmdServiceSettings);
    env_.log.AppendLine(Msg[MsgSending]);
    LinkResult reply = ReadServiceReply();
    if (!Note(Kind::Header, Frames::CmdServiceSettings, reply)) {
        EndPylon(false);
        env_.log.AppendLine(Msg[SerialCommand::FailureMessage(reply)]);
        port.Close();
        return;
    }
    const Frames::ServiceSettings payload = Frames::MakeServiceSettings(first, second);
    SerialCommand::WriteBytes(port, payload.data(), payload.size());
    reply = ReadServiceReply();
    const bool ok = Note(Kind::Block, Frames::CmdServiceSettings, reply);
    EndPylon(ok);
    if (ok) {
        env_.log.AppendLine(Msg[MsgOk]);
        env_.waiter.Wait(SuccessWait);
        port.Close();
        env_.log.CloseLog();
    } else {
        env_.log.AppendLine(Msg[SerialCommand::FailureMessage(reply)]);
        port.Close();
    }
}

void ServiceCommands::RunTestSerial(uint8_t testCode)
{
    SerialPort& port = env_.port;
    env_.log.ShowLog();
    // The port is named by ComName the same way as for every other serial
    // command, so its log lines show the plain name.
    BeginPylon(Frames::CmdServiceTest, &testCode, env_.model.ComName, {});
    SerialCommand::Reopen(port, env_.model);
    pylon_.target += " " + std::to_string(SerialPort::RateOf(port.BaudRate()));
    Note(Kind::Connect, 0, 0, {});

    SerialCommand::WriteHeader(port, Frames::CmdServiceTest);
    env_.log.AppendLine(Msg[MsgSending]);
    LinkResult r = ReadServiceReply();
    Note(Kind::Header, Frames::CmdServiceTest, r, TestResultLine(r));
    env_.log.AppendLine(TestResultLine(r));
    if (r == Frames::ReplyAck) {
        SerialCommand::WriteBytes(port, &testCode, 1);
        r = ReadServiceReply();
        Note(Kind::Block, Frames::CmdServiceTest, r, TestResultLine(r));
        env_.log.AppendLine(TestResultLine(r));
    }
    EndPylon(r == Frames::ReplyAck);
    port.Close();
    if (r == Frames::ReplyAck) env_.log.CloseLog();
}

void ServiceCommands::RunNetwork(uint8_t command, const uint8_t* payload, size_t payloadSize)
{
    PylonLink& link = env_.link;
    env_.log.ShowLog();

    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const PylonConfig::NetworkPylon entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        BeginPylon(command, payload, Cp1250::ToUtf8(entry.IP) + ":" + std::to_string(entry.Port),
                   Cp1250::ToUtf8(entry.Name));
        LinkResult r = 0;
        const bool connected = NetworkCommand::Connect(env_, entry, command, &r);
        Note(Kind::Connect, 0, r);
        if (!connected) {
            EndPylon(false);
            continue;
        }
        env_.log.AppendLine(Msg[MsgSending]);

        if ((r = link.SendHeader()) == 0) r = link.ReadReply();
        if (Note(Kind::Header, command, r)) {
            r = payloadSize == 1 ? link.SendByte(payload[0]) : link.SendServiceSettings(payload[0], payload[1]);
            if (r == 0) r = link.ReadReply();
            Note(Kind::Block, command, r);
        }
        EndPylon(r == Frames::ReplyAck);

        if (r == Frames::ReplyAck) {
            ReportResult(r, env_.log);
            env_.waiter.Wait(SuccessWait);
            env_.log.CloseLog();
        }
        link.Disconnect();
        ReportExchangeResult(r, env_.log);
    }
}
