#include "comm/ServiceCommands.h"

#include "comm/EComPort.h"
#include "comm/Frames.h"
#include "comm/NetworkCommand.h"
#include "comm/ProgressLog.h"
#include "comm/SerialCommand.h"
#include "comm/TComPort.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/K_PYLON.h"

ServiceCommands::ServiceCommands(PylonCommandEnv env) : env_(std::move(env)) {}

LinkResult ServiceCommands::ReadServiceReply() { return SerialCommand::ReadReply(env_.port); }

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
    if (env_.model.UseCOM) {
        try {
            SendSettingsSerial(pricesIndex, digitsIndex);
        } catch (const EComPort& e) {
            env_.errorBox(e.what());
        }
        return;
    }
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    const Frames::ServiceSettings payload = Frames::MakeServiceSettings(pricesIndex, digitsIndex);
    RunNetwork(Frames::CmdServiceSettings, payload.data(), payload.size());
}

void ServiceCommands::RunTest(uint8_t testCode)
{
    if (env_.model.UseCOM) {
        try {
            RunTestSerial(testCode);
        } catch (const EComPort& e) {
            env_.errorBox(e.what());
        }
        return;
    }
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    RunNetwork(Frames::CmdServiceTest, &testCode, 1);
}

void ServiceCommands::SendSettingsSerial(uint8_t first, uint8_t second)
{
    TComPort& port = env_.port;
    env_.log.ShowLog();
    SerialCommand::Reopen(port, env_.model);

    SerialCommand::WriteHeader(port, Frames::CmdServiceSettings);
    env_.log.AppendLine(Msg[MsgSending]);
    if (const LinkResult reply = ReadServiceReply(); reply != Frames::ReplyAck) {
        env_.log.AppendLine(Msg[SerialCommand::FailureMessage(reply)]);
        port.Close();
        return;
    }
    const Frames::ServiceSettings payload = Frames::MakeServiceSettings(first, second);
    SerialCommand::WriteBytes(port, payload.data(), payload.size());
    if (const LinkResult reply = ReadServiceReply(); reply == Frames::ReplyAck) {
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
    TComPort& port = env_.port;
    env_.log.ShowLog();
    // The port is named by ComName the same way as for every other serial
    // command, so its log lines show the plain name.
    SerialCommand::Reopen(port, env_.model);

    SerialCommand::WriteHeader(port, Frames::CmdServiceTest);
    env_.log.AppendLine(Msg[MsgSending]);
    LinkResult r = ReadServiceReply();
    env_.log.AppendLine(TestResultLine(r));
    if (r == Frames::ReplyAck) {
        SerialCommand::WriteBytes(port, &testCode, 1);
        r = ReadServiceReply();
        env_.log.AppendLine(TestResultLine(r));
    }
    port.Close();
    if (r == Frames::ReplyAck) env_.log.CloseLog();
}

void ServiceCommands::RunNetwork(uint8_t command, const uint8_t* payload, size_t payloadSize)
{
    K_CONNECTION& link = env_.link;
    env_.log.ShowLog();

    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const K_PYLON::tag_IP_SETTINGS entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        if (!NetworkCommand::Connect(env_, entry, command)) continue;
        LinkResult r = 0;
        env_.log.AppendLine(Msg[MsgSending]);

        if ((r = link.SendHeader()) == 0 && (r = link.ReadReply()) == Frames::ReplyAck) {
            r = payloadSize == 1 ? link.SendByte(payload[0])
                                 : link.SendServiceSettings(payload[0], payload[1]);
            if (r == 0) r = link.ReadReply();
        }

        if (r == Frames::ReplyAck) {
            ReportResult(r, env_.log);
            env_.waiter.Wait(SuccessWait);
            env_.log.CloseLog();
        }
        link.Disconnect();
        ReportExchangeResult(r, env_.log);
    }
}
