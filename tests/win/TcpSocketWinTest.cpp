// The link on Winsock against the pylon emulator on 127.0.0.1, whose port
// the runner gives in LMQ_TEST_TCP_PORT.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <winsock2.h>

#include "comm/PylonLink.h"
#include "comm/TcpSocket.h"
#include "model/PylonConfig.h"

namespace {

int EmulatorPort()
{
    const char* p = std::getenv("LMQ_TEST_TCP_PORT");
    return p ? std::atoi(p) : 0;
}

// A port nothing listens on: bound, then released.
int FreePort()
{
    auto probe = TcpSocket::Create();  // starts Winsock
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    int len = sizeof sa;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
    ::closesocket(s);
    return ntohs(sa.sin_port);
}

TEST(TcpSocketWin, ARefusedConnectionIsAConnectionError)
{
    PylonLink link("0.0.0.0", 2101);
    link.SetTarget("127.0.0.1", FreePort());
    EXPECT_EQ(link.Connect(), 2);
    EXPECT_FALSE(link.IsConnected());
}

TEST(TcpSocketWin, ASendToTheEmulatorIsAcceptedStepByStep)
{
    const int port = EmulatorPort();
    if (port == 0) GTEST_SKIP() << "LMQ_TEST_TCP_PORT names no emulator";
    PylonLink link("0.0.0.0", 2101);
    link.SetTarget("127.0.0.1", port);
    ASSERT_EQ(link.Connect(), 0);
    PylonConfig model;
    model.Prices[0].Price = {9, 8, 7, 6, 5, 4};
    const struct {
        int command;
        std::function<LinkResult()> block;
    } steps[] = {
        {20, [&] { return link.SendPriceDigits(model); }},
        {21, [&] { return link.SendLineSettings(model); }},
        {25, [&] { return link.SendFontSettings(model); }},
    };
    for (const auto& s : steps) {
        link.command = s.command;
        EXPECT_EQ(link.SendHeader(), 0);
        EXPECT_EQ(link.ReadReply(), 170) << s.command;
        EXPECT_EQ(s.block(), 0);
        EXPECT_EQ(link.ReadReply(), 170) << s.command;
    }
    link.Disconnect();
}

TEST(TcpSocketWin, WaitsForAReplyEndByTheirDeadline)
{
    const int port = EmulatorPort();
    if (port == 0) GTEST_SKIP() << "LMQ_TEST_TCP_PORT names no emulator";
    auto s = TcpSocket::Create();
    ASSERT_TRUE(s);
    ASSERT_EQ(s->Connect(0x7F000001, uint16_t(port), 2000), 0);
    ASSERT_EQ(s->PrepareStream(), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s->WaitReadable(150), TcpSocket::Io::TimedOut);  // nothing asked, nothing said
    uint8_t buf[2];
    EXPECT_EQ(s->Read(buf, 2, 100).status, TcpSocket::Io::TimedOut);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), 240);
    EXPECT_LT(ms.count(), 1500);
}

}  // namespace
