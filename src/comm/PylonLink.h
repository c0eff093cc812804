#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

class PylonConfig;
class ProgressLog;
class TcpSocket;

// Result of the link's operations: 0 success (or unequal reply bytes), 1 to 7
// local failures, otherwise the pylon's reply value (101, 170, 204, 254) or
// the local checksum verdict (204).
using LinkResult = int;

// The TCP link to one pylon at a time: a blocking client connection, the
// frames of the wire protocol, fixed time-outs, and one result code for every
// outcome.
class PylonLink {
public:
    PylonLink(std::string address, int32_t port);
    ~PylonLink();
    PylonLink(const PylonLink&) = delete;
    PylonLink& operator=(const PylonLink&) = delete;

    void SetTarget(const std::string& address, int32_t port);
    LinkResult Connect();
    void Disconnect();

    LinkResult SendHeader();
    LinkResult SendPriceDigits(PylonConfig model);
    LinkResult SendLineSettings(PylonConfig model);
    LinkResult SendFontSettings(PylonConfig model);
    LinkResult SendServiceSettings(uint8_t first, uint8_t second);
    LinkResult SendByte(uint8_t value);
    LinkResult ReadReply();
    LinkResult ReadPriceBlock(PylonConfig& model);
    LinkResult ReadFontBlock(PylonConfig& model);

    const std::string& Address() const { return address; }
    int32_t Port() const { return port; }
    bool IsConnected() const { return socket != nullptr; }

    int32_t command = 0;           // command of the next header; its low byte is sent
    int32_t timeout = 2000;        // stream time-out, ms (also the connect limit)
    int32_t firstByteWait = 1000;  // wait for the first byte of a reply or block, ms

private:
    LinkResult ConnectSocket();
    LinkResult Send(const uint8_t* bytes, size_t count);
    LinkResult Read(uint8_t* bytes, size_t count);
    LinkResult SendBytes(const uint8_t* bytes, size_t count);
    LinkResult ReadBytes(uint8_t* bytes, size_t count);

    std::unique_ptr<TcpSocket> socket;
    std::string address;
    int32_t port;
    uint8_t clientType = 1;  // blocking
    std::array<uint8_t, 3> header{0x4B, 0x64, 0x34};
};

// The message of `code` in the current language; empty for codes without one.
std::string ResultMessage(LinkResult code);
// Appends the message of `code` to the log; codes without a message append nothing.
void ReportResult(LinkResult code, ProgressLog& log);
// The same for the result of an exchange that ended on the pylon's reply,
// where 0 means that the two reply bytes differed: a bad read.
void ReportExchangeResult(LinkResult code, ProgressLog& log);
