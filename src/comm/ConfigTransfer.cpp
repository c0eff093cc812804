#include "comm/ConfigTransfer.h"

#include "comm/EComPort.h"
#include "comm/Frames.h"
#include "comm/NetworkCommand.h"
#include "comm/ProgressLog.h"
#include "comm/SerialCommand.h"
#include "comm/TComPort.h"
#include "comm/Waiter.h"
#include "lang/Msg.h"
#include "model/K_PYLON.h"

ConfigTransfer::ConfigTransfer(PylonCommandEnv env) : env_(std::move(env)) {}

void ConfigTransfer::LogMsg(int number) { env_.log.AppendLine(Msg[number]); }

LinkResult ConfigTransfer::ReadSerialReply() { return SerialCommand::ReadReply(env_.port); }

void ConfigTransfer::Send()
{
    if (env_.model.UseCOM) {
        // A port error ends the command with the error box; the port may stay
        // open, and the next serial command closes it first.
        try {
            SendSerial();
        } catch (const EComPort& e) {
            env_.errorBox(e.what());
        }
    } else {
        SendNetwork();
    }
}

void ConfigTransfer::Download()
{
    if (env_.model.UseCOM) {
        try {
            DownloadSerial();
        } catch (const EComPort& e) {
            env_.errorBox(e.what());
        }
    } else {
        DownloadNetwork();
    }
}

void ConfigTransfer::SendSerial()
{
    TComPort& port = env_.port;
    env_.log.ShowLog();
    SerialCommand::Reopen(port, env_.model);

    SerialCommand::WriteHeader(port, Frames::CmdSendDigits);
    LogMsg(MsgSending);
    LinkResult reply = 0;
    bool ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    if (ok) {
        const Frames::DigitsBlock b = Frames::MakeDigitsBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    }
    if (ok) {
        SerialCommand::WriteHeader(port, Frames::CmdSendLineSettings);
        ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    }
    if (ok) {
        const Frames::LineSettingsBlock b = Frames::MakeLineSettingsBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    }
    if (ok) {
        SerialCommand::WriteHeader(port, Frames::CmdSendFonts);
        ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    }
    if (ok) {
        const Frames::FontBlock b = Frames::MakeFontBlock(env_.model);
        SerialCommand::WriteBytes(port, b.data(), b.size());
        ok = (reply = ReadSerialReply()) == Frames::ReplyAck;
    }

    if (ok) {
        LogMsg(MsgOk);
        env_.waiter.Wait(SuccessWait);
        port.Close();
        env_.log.CloseLog();
    } else {
        // Whatever else the pylon answered, the serial line reports a time-out.
        LogMsg(SerialCommand::FailureMessage(reply));
        port.Close();
    }
}

void ConfigTransfer::SendNetwork()
{
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    K_CONNECTION& link = env_.link;
    env_.log.ShowLog();

    // The list is read again before each pass.
    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const K_PYLON::tag_IP_SETTINGS entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        if (!NetworkCommand::Connect(env_, entry, Frames::CmdSendDigits)) continue;
        LinkResult r = 0;
        LogMsg(MsgSending);

        // Header, reply, block, reply for each of the three blocks; the first
        // step that fails ends the exchange with this pylon.
        const uint8_t commands[3] = {Frames::CmdSendDigits, Frames::CmdSendLineSettings,
                                     Frames::CmdSendFonts};
        for (int step = 0; step < 3; ++step) {
            link.command = commands[step];
            if ((r = link.SendHeader()) != 0) break;
            if ((r = link.ReadReply()) != Frames::ReplyAck) break;
            if (step == 0) r = link.SendPriceDigits(env_.model);
            else if (step == 1) r = link.SendLineSettings(env_.model);
            else r = link.SendFontSettings(env_.model);
            if (r != 0) break;
            if ((r = link.ReadReply()) != Frames::ReplyAck) break;
        }

        if (r == Frames::ReplyAck) {
            LogMsg(MsgOk);
            env_.waiter.Wait(SuccessWait);
            env_.log.CloseLog();
        }
        link.Disconnect();
        ReportExchangeResult(r, env_.log);
    }
}

void ConfigTransfer::DownloadSerial()
{
    TComPort& port = env_.port;
    env_.log.ShowLog();
    SerialCommand::Reopen(port, env_.model);

    SerialCommand::WriteHeader(port, Frames::CmdReadPriceBlock);
    LogMsg(MsgSending);
    if (const LinkResult reply = ReadSerialReply(); reply != Frames::ReplyAck) {
        LogMsg(SerialCommand::FailureMessage(reply));
        port.Close();
        return;
    }

    // Bytes that do not arrive stay 0 and the checksum decides; a block that
    // fails it leaves the model as it was.
    Frames::PriceBlock prices{};
    port.Read(prices.data(), int(prices.size()));
    if (Frames::DecodePriceBlock(prices, env_.model) != Frames::BlockOk) {
        LogMsg(MsgCrcError);
        port.Close();
        return;
    }

    SerialCommand::WriteHeader(port, Frames::CmdReadFontBlock);
    if (const LinkResult reply = ReadSerialReply(); reply != Frames::ReplyAck) {
        LogMsg(SerialCommand::FailureMessage(reply));
    } else {
        Frames::FontBlock fonts{};
        port.Read(fonts.data(), int(fonts.size()));
        if (Frames::DecodeFontBlock(fonts, env_.model) == Frames::BlockOk) LogMsg(MsgOk);
    }

    // The verified prices are shown even when the fonts did not arrive.
    port.Close();
    env_.showPylon(env_.model);
    env_.waiter.Wait(SuccessWait);
    env_.log.CloseLog();
}

void ConfigTransfer::DownloadNetwork()
{
    if (NetworkCommand::RefuseEmptyList(env_)) return;
    K_CONNECTION& link = env_.link;
    env_.log.ShowLog();

    for (size_t i = 0; i < env_.model.NetSettings.size(); ++i) {
        const K_PYLON::tag_IP_SETTINGS entry = env_.model.NetSettings[i];
        if (!entry.Active) continue;
        if (!NetworkCommand::Connect(env_, entry, Frames::CmdReadPriceBlock)) continue;
        LinkResult r = 0;
        LogMsg(MsgReading);

        if ((r = link.SendHeader()) != 0) {
            link.Disconnect();
            ReportResult(r, env_.log);
            continue;
        }
        if ((r = link.ReadReply()) != Frames::ReplyAck) {
            LogMsg(MsgReadError);
            link.Disconnect();
            ReportResult(r, env_.log);
            continue;
        }
        if ((r = link.ReadPriceBlock(env_.model)) != 0) {
            env_.log.AppendLine(Msg[MsgReadError] + " " + std::to_string(r));
            link.Disconnect();
            ReportResult(r, env_.log);
            continue;
        }

        link.command = Frames::CmdReadFontBlock;
        if (link.SendHeader() == 0) {
            r = link.ReadReply();
            if (r != Frames::ReplyAck)
                env_.log.AppendLine(Msg[MsgReadError] + " " + std::to_string(r));
            else if (link.ReadFontBlock(env_.model) == 0)
                LogMsg(MsgOk);
        }

        env_.showPylon(env_.model);
        env_.waiter.Wait(SuccessWait);
        env_.log.CloseLog();
        link.Disconnect();
    }
}
