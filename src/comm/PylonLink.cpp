#include "comm/PylonLink.h"

#include <optional>

#include "comm/Frames.h"
#include "comm/IPv4.h"
#include "comm/ProgressLog.h"
#include "comm/TcpSocket.h"
#include "lang/Msg.h"
#include "log/Log.h"
#include "model/PylonConfig.h"

namespace {

constexpr int ResultSocketNoMemory = 1;
constexpr int ResultConnectionError = 2;
constexpr int ResultStreamError = 3;
constexpr int ResultSendingError = 4;
constexpr int ResultSendingTimeout = 5;
constexpr int ResultReadingError = 6;
constexpr int ResultReadingTimeout = 7;

void LogComm(Log::Level level, const std::string& line) { Log::Write(Log::Category::Comm, level, line); }

// The pylon's answer to one step: its reply value and what it means.
void LogReply(LinkResult code)
{
    const char* what = "unknown reply";
    switch (code) {
    case 0: what = "unequal reply bytes"; break;
    case Frames::ReplyMemoryError: what = "memory error"; break;
    case Frames::ReplyAck: what = "OK"; break;
    case Frames::ReplyCrcError: what = "CRC error"; break;
    case Frames::ReplyInvalidCommand: what = "invalid command"; break;
    }
    LogComm(code == Frames::ReplyAck ? Log::Level::Info : Log::Level::Warning,
            "reply " + std::to_string(code) + ": " + what);
}

void LogBlock(const char* name, LinkResult code)
{
    if (code == Frames::BlockOk) LogComm(Log::Level::Info, std::string(name) + " block received");
    else
        LogComm(Log::Level::Warning,
                std::string(name) + " block failed its checksum (result " + std::to_string(code) + ")");
}

}  // namespace

PylonLink::PylonLink(std::string address_, int32_t port_) : address(std::move(address_)), port(port_) {}

PylonLink::~PylonLink() { Disconnect(); }

void PylonLink::SetTarget(const std::string& address_, int32_t port_)
{
    address = address_;
    port = port_;
}

LinkResult PylonLink::Connect()
{
    const LinkResult result = ConnectSocket();
    const std::string target = address + " port " + std::to_string(port);
    if (result == 0) LogComm(Log::Level::Info, "connected to " + target);
    else LogComm(Log::Level::Warning, "cannot connect to " + target + " (result " + std::to_string(result) + ")");
    return result;
}

LinkResult PylonLink::ConnectSocket()
{
    Disconnect();
    auto s = TcpSocket::Create();
    if (!s) return ResultSocketNoMemory;
    // 0.0.0.0 (the placeholder target) would reach this machine itself here;
    // like a port outside 1 to 65535 it names no pylon.
    const auto ip = ParseIPv4(address);
    if (!ip || *ip == 0 || port < 1 || port > 65535) return ResultConnectionError;
    if (s->Connect(*ip, uint16_t(port), timeout) != 0) return ResultConnectionError;
    if (s->PrepareStream() != 0) return ResultStreamError;
    socket = std::move(s);
    return 0;
}

void PylonLink::Disconnect()
{
    if (socket) socket->Close();
    socket.reset();
}

LinkResult PylonLink::Send(const uint8_t* bytes, size_t count)
{
    const LinkResult result = SendBytes(bytes, count);
    if (result != 0)
        LogComm(Log::Level::Warning,
                "sending " + std::to_string(count) + " bytes failed (result " + std::to_string(result) + ")");
    return result;
}

LinkResult PylonLink::SendBytes(const uint8_t* bytes, size_t count)
{
    if (!socket) return ResultSendingTimeout;
    const TcpSocket::Transfer t = socket->Write(bytes, count, timeout);
    if (Log::Enabled(Log::Category::Comm, Log::Level::Debug))
        LogComm(Log::Level::Debug, "sent " + Log::Hex(bytes, t.count));
    if (t.status == TcpSocket::Io::Failed || t.status == TcpSocket::Io::TimedOut) return ResultSendingTimeout;
    if (t.count < count) return ResultSendingError;
    return 0;
}

LinkResult PylonLink::Read(uint8_t* bytes, size_t count)
{
    const LinkResult result = ReadBytes(bytes, count);
    if (result != 0)
        LogComm(Log::Level::Warning,
                "reading " + std::to_string(count) + " bytes failed (result " + std::to_string(result) + ")");
    return result;
}

LinkResult PylonLink::ReadBytes(uint8_t* bytes, size_t count)
{
    if (!socket) return ResultReadingTimeout;
    // The first byte may take up to firstByteWait; the rest of the frame then
    // has the stream time-out to arrive, in as many pieces as the network makes.
    if (socket->WaitReadable(firstByteWait) != TcpSocket::Io::Done) return ResultReadingTimeout;
    const TcpSocket::Transfer t = socket->Read(bytes, count, timeout);
    if (Log::Enabled(Log::Category::Comm, Log::Level::Debug))
        LogComm(Log::Level::Debug, "received " + Log::Hex(bytes, t.count));
    if (t.status == TcpSocket::Io::Failed) return ResultReadingTimeout;
    if (t.count < count) return ResultReadingError;
    return 0;
}

LinkResult PylonLink::SendHeader()
{
    const uint8_t frame[Frames::HeaderSize] = {header[0], header[1], header[2], uint8_t(command)};
    return Send(frame, sizeof frame);
}

LinkResult PylonLink::SendPriceDigits(PylonConfig model)
{
    const auto block = Frames::MakeDigitsBlock(model);
    return Send(block.data(), block.size());
}

LinkResult PylonLink::SendLineSettings(PylonConfig model)
{
    const auto block = Frames::MakeLineSettingsBlock(model);
    return Send(block.data(), block.size());
}

LinkResult PylonLink::SendFontSettings(PylonConfig model)
{
    const auto block = Frames::MakeFontBlock(model);
    return Send(block.data(), block.size());
}

LinkResult PylonLink::SendServiceSettings(uint8_t first, uint8_t second)
{
    const auto payload = Frames::MakeServiceSettings(first, second);
    return Send(payload.data(), payload.size());
}

LinkResult PylonLink::SendByte(uint8_t value) { return Send(&value, 1); }

LinkResult PylonLink::ReadReply()
{
    uint8_t reply[Frames::ReplySize] = {};
    if (const LinkResult r = Read(reply, sizeof reply); r != 0) return r;
    const LinkResult r = Frames::DecodeReply(reply[0], reply[1]);
    LogReply(r);
    return r;
}

LinkResult PylonLink::ReadPriceBlock(PylonConfig& model)
{
    Frames::PriceBlock block{};
    if (const LinkResult r = Read(block.data(), block.size()); r != 0) return r;
    // A block that fails its checksum leaves the model as it was.
    const LinkResult r = Frames::DecodePriceBlock(block, model);
    LogBlock("price", r);
    return r;
}

LinkResult PylonLink::ReadFontBlock(PylonConfig& model)
{
    Frames::FontBlock block{};
    if (const LinkResult r = Read(block.data(), block.size()); r != 0) return r;
    const LinkResult r = Frames::DecodeFontBlock(block, model);
    LogBlock("font", r);
    return r;
}

std::string ResultMessage(LinkResult code)
{
    int message = -1;
    switch (code) {
    case ResultSocketNoMemory: message = MsgSocketNoMemory; break;
    case ResultConnectionError: message = MsgConnectionError; break;
    case ResultStreamError: message = MsgStreamError; break;
    case ResultSendingError: message = MsgSendingError; break;
    case ResultSendingTimeout: message = MsgSendTimeout; break;
    case ResultReadingError: message = MsgReadError; break;
    case ResultReadingTimeout: message = MsgReadTimeout; break;
    case Frames::ReplyMemoryError: message = MsgMemoryError; break;
    case Frames::ReplyAck: message = MsgOk; break;
    case Frames::ReplyCrcError: message = MsgCrcError; break;
    case Frames::ReplyInvalidCommand: message = MsgInvalidCommand; break;
    default: return {};
    }
    return Msg[message];
}

void ReportResult(LinkResult code, ProgressLog& log)
{
    const std::string message = ResultMessage(code);
    if (!message.empty()) log.AppendLine(message);
}

void ReportExchangeResult(LinkResult code, ProgressLog& log)
{
    ReportResult(code == 0 ? ResultReadingError : code, log);
}
