#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

class K_PYLON;
class ProgressLog;
class TcpSocket;

// Result of the link's operations: 0 success (or unequal reply bytes), 1 to 7
// local failures, otherwise the pylon's reply value (101, 170, 204, 254) or
// the local checksum verdict (204).
using LinkResult = int;

// The TCP link to one pylon at a time: a blocking client connection, the
// frames of the wire protocol, fixed time-outs, and one result code for every
// outcome.
class K_CONNECTION {
public:
    K_CONNECTION(std::string address, int32_t port);
    ~K_CONNECTION();
    K_CONNECTION(const K_CONNECTION&) = delete;
    K_CONNECTION& operator=(const K_CONNECTION&) = delete;

    void SetTarget(const std::string& address, int32_t port);
    LinkResult Connect();
    void Disconnect();

    LinkResult SendHeader();
    LinkResult SendPriceDigits(K_PYLON model);
    LinkResult SendLineSettings(K_PYLON model);
    LinkResult SendFontSettings(K_PYLON model);
    LinkResult SendServiceSettings(uint8_t first, uint8_t second);
    LinkResult SendByte(uint8_t value);
    LinkResult ReadReply();
    LinkResult ReadPriceBlock(K_PYLON& model);
    LinkResult ReadFontBlock(K_PYLON& model);

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
