#include "comm/SerialCommand.h"

#include "comm/Frames.h"
#include "comm/TComPort.h"
#include "lang/Msg.h"
#include "model/K_PYLON.h"

void SerialCommand::Reopen(TComPort& port, const K_PYLON& model)
{
    if (port.Connected()) port.Close();
    port.SetPort(model.ComName);
    if (model.ComSpeed != 0) port.SetBaudRate(model.ComSpeed);
    port.Open();
}

void SerialCommand::WriteHeader(TComPort& port, uint8_t command)
{
    const Frames::Header h = Frames::MakeHeader(command);
    port.Write(h.data(), int(h.size()));
}

void SerialCommand::WriteBytes(TComPort& port, const uint8_t* bytes, size_t count)
{
    port.Write(bytes, int(count));
}

LinkResult SerialCommand::ReadReply(TComPort& port)
{
    if (!port.Connected()) return 0;
    uint8_t reply[Frames::ReplySize] = {0, 0};
    if (port.Read(reply, int(Frames::ReplySize)) < int(Frames::ReplySize)) return 6;
    return Frames::DecodeReply(reply[0], reply[1]);
}

int SerialCommand::FailureMessage(LinkResult reply)
{
    return reply == 0 ? MsgReadError : MsgReadTimeout;
}
