#include "comm/SerialCommand.h"

#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "lang/Msg.h"
#include "model/PylonConfig.h"

void SerialCommand::Reopen(SerialPort& port, const PylonConfig& model)
{
    if (port.Connected()) port.Close();
    port.SetPort(model.ComName);
    if (model.ComSpeed != 0) port.SetBaudRate(model.ComSpeed);
    port.Open();
}

void SerialCommand::WriteHeader(SerialPort& port, uint8_t command)
{
    const Frames::Header h = Frames::MakeHeader(command);
    port.Write(h.data(), int(h.size()));
}

void SerialCommand::WriteBytes(SerialPort& port, const uint8_t* bytes, size_t count) { port.Write(bytes, int(count)); }

LinkResult SerialCommand::ReadReply(SerialPort& port)
{
    if (!port.Connected()) return 0;
    uint8_t reply[Frames::ReplySize] = {0, 0};
    if (port.Read(reply, int(Frames::ReplySize)) < int(Frames::ReplySize)) return 6;
    return Frames::DecodeReply(reply[0], reply[1]);
}

int SerialCommand::FailureMessage(LinkResult reply) { return reply == 0 ? MsgReadError : MsgReadTimeout; }
