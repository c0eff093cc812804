// The TCP link against the pylon emulator on loopback: the exact bytes on
// the wire, and the result code of every way a pylon can fail.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/Frames.h"
#include "comm/PylonLink.h"
#include "comm/ProgressLog.h"
#include "emulator/PylonEmulator.h"
#include "lang/Msg.h"
#include "model/PylonConfig.h"
#include "support/Lines.h"

namespace {

using Step = PylonEmulator::Step;
using Clock = std::chrono::steady_clock;

class LinesLog : public ProgressLog {
public:
    void ShowLog() override { lines.clear(); }
    void CloseLog() override {}
    void AppendLine(const std::string& line) override { lines << line; }
    Lines lines;
};

template <typename Block>
std::vector<uint8_t> Bytes(const Block& b)
{
    return std::vector<uint8_t>(b.begin(), b.end());
}

long MsSince(Clock::time_point t)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

void MakeDistinct(PylonConfig& m)
{
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 6; ++j) m.Prices[i].Price[j] = uint8_t((i + 2 * j) % 10);
        m.Prices[i].Conf = {uint8_t(i % 2), uint8_t(i == 3), uint8_t(i % 3), uint8_t(i == 5), uint8_t(i == 1)};
    }
    m.Conf = {40, 55, 70, 19};
    m.UseGamma = true;
    m.FontConf = {7, 2};
}

// A link to a fresh emulator, with time-outs short enough for failure tests.
class Link : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = emu.ListenTcp(0);
        link.SetTarget("127.0.0.1", port);
        link.timeout = 250;
        link.firstByteWait = 150;
    }

    PylonLink link{"0.0.0.0", 2101};
    PylonEmulator emu;
    uint16_t port = 0;
};

}  // namespace

TEST_F(Link, SendsTheConfigurationFrameByFrame)
{
    PylonConfig model;
    MakeDistinct(model);
    ASSERT_EQ(link.Connect(), 0);
    EXPECT_TRUE(link.IsConnected());
    const uint8_t commands[3] = {20, 21, 25};
    for (uint8_t c : commands) {
        link.command = c;
        ASSERT_EQ(link.SendHeader(), 0);
        ASSERT_EQ(link.ReadReply(), 170);
        const LinkResult sent = c == 20   ? link.SendPriceDigits(model)
                                : c == 21 ? link.SendLineSettings(model)
                                          : link.SendFontSettings(model);
        ASSERT_EQ(sent, 0);
        ASSERT_EQ(link.ReadReply(), 170);
    }
    link.Disconnect();

    const std::vector<std::vector<uint8_t>> expected = {
        {0x4B, 0x64, 0x34, 0x14}, Bytes(Frames::MakeDigitsBlock(model)),
        {0x4B, 0x64, 0x34, 0x15}, Bytes(Frames::MakeLineSettingsBlock(model)),
        {0x4B, 0x64, 0x34, 0x19}, Bytes(Frames::MakeFontBlock(model))};
    EXPECT_EQ(emu.ReceivedFrames(), expected);
    std::vector<uint8_t> stream;
    for (const auto& f : expected) stream.insert(stream.end(), f.begin(), f.end());
    EXPECT_EQ(emu.Received(), stream);

    PylonConfig held;
    emu.ToModel(held);
    EXPECT_EQ(held.Prices, model.Prices);
    EXPECT_EQ(held.Conf, model.Conf);
    EXPECT_EQ(held.UseGamma, model.UseGamma);
    EXPECT_EQ(held.FontConf, model.FontConf);
}

TEST_F(Link, OnlyTheLowByteOfTheCommandTravels)
{
    ASSERT_EQ(link.Connect(), 0);
    link.command = 0x1234;
    ASSERT_EQ(link.SendHeader(), 0);
    EXPECT_EQ(link.ReadReply(), 254);  // 0x34 is no command of the pylon
    ASSERT_EQ(emu.ReceivedFrames().size(), 1u);
    EXPECT_EQ(emu.ReceivedFrames()[0], (std::vector<uint8_t>{0x4B, 0x64, 0x34, 0x34}));
}

TEST_F(Link, ReadsThePylonsConfigurationBack)
{
    PylonConfig pylon;
    MakeDistinct(pylon);
    emu.FromModel(pylon);
    PylonConfig model;
    ASSERT_EQ(link.Connect(), 0);
    link.command = 22;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    ASSERT_EQ(link.ReadPriceBlock(model), 0);
    link.command = 26;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    ASSERT_EQ(link.ReadFontBlock(model), 0);
    EXPECT_EQ(model.Prices, pylon.Prices);
    EXPECT_EQ(model.Conf, pylon.Conf);
    EXPECT_TRUE(model.UseGamma);
    EXPECT_EQ(model.FontConf, pylon.FontConf);
}

TEST_F(Link, ServiceCommandsCarryTheirPayloads)
{
    ASSERT_EQ(link.Connect(), 0);
    link.command = 23;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    ASSERT_EQ(link.SendServiceSettings(5, 5), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    link.command = 29;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    ASSERT_EQ(link.SendByte(2), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    const auto frames = emu.ReceivedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[1], (std::vector<uint8_t>{5, 5, 0}));
    EXPECT_EQ(frames[3], (std::vector<uint8_t>{2}));
    EXPECT_EQ(emu.GetState().prices, 6);
    EXPECT_EQ(emu.GetState().digits, 6);
    EXPECT_EQ(emu.GetState().test, 2);
}

TEST_F(Link, ReplyCodesComeBackAsTheyAre)
{
    emu.Script({Step::Reply(0xFE), Step::Reply(0xCC), Step::Reply(0x65), Step::ReplyBytes(0xAA, 0xAB),
                Step::ReplyBytes(0x00, 0xAA), Step::Reply(0x06)});
    ASSERT_EQ(link.Connect(), 0);
    link.command = 20;
    for (LinkResult expected : {254, 204, 101, 0, 0, 6}) {
        ASSERT_EQ(link.SendHeader(), 0);
        EXPECT_EQ(link.ReadReply(), expected);
    }
}

TEST_F(Link, SilenceIsAReadingTimeOut)
{
    emu.Script({Step::Silence()});
    ASSERT_EQ(link.Connect(), 0);
    link.command = 20;
    ASSERT_EQ(link.SendHeader(), 0);
    const auto t = Clock::now();
    EXPECT_EQ(link.ReadReply(), 7);
    EXPECT_GE(MsSince(t), 140);
    EXPECT_LT(MsSince(t), 1000);
}

TEST_F(Link, AnAnswerLaterThanTheFirstByteWaitIsATimeOut)
{
    emu.Script({Step::Delay(400)});
    ASSERT_EQ(link.Connect(), 0);
    link.command = 20;
    ASSERT_EQ(link.SendHeader(), 0);
    EXPECT_EQ(link.ReadReply(), 7);
}

TEST_F(Link, PartOfAPriceBlockIsAReadingError)
{
    PylonConfig model;
    const PylonConfig before(model);
    emu.Script({Step::PartialBlock(50)});
    ASSERT_EQ(link.Connect(), 0);
    link.command = 22;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    const auto t = Clock::now();
    EXPECT_EQ(link.ReadPriceBlock(model), 6);
    EXPECT_GE(MsSince(t), 240);  // waited out the stream time-out for the rest
    EXPECT_TRUE(model.SameFields(before));
}

TEST_F(Link, ABlockInManyPiecesWithinTheTimeOutIsReadWhole)
{
    PylonConfig pylon;
    MakeDistinct(pylon);
    emu.FromModel(pylon);
    emu.On(26, PylonEmulator::Frame::Header, Step::Trickle(2));
    PylonConfig model;
    ASSERT_EQ(link.Connect(), 0);
    link.command = 26;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    EXPECT_EQ(link.ReadFontBlock(model), 0);
    EXPECT_EQ(model.FontConf, pylon.FontConf);
}

TEST_F(Link, ATrickleSlowerThanTheStreamTimeOutIsAReadingError)
{
    emu.On(22, PylonEmulator::Frame::Header, Step::Trickle(20));  // 87 bytes, 1.7 s
    PylonConfig model;
    ASSERT_EQ(link.Connect(), 0);
    link.command = 22;
    ASSERT_EQ(link.SendHeader(), 0);
    EXPECT_EQ(link.ReadReply(), 170);
    EXPECT_EQ(link.ReadPriceBlock(model), 6);
}

TEST_F(Link, ABlockWithABadChecksumLeavesTheModelAsItWas)
{
    PylonConfig pylon;
    MakeDistinct(pylon);
    emu.FromModel(pylon);
    emu.On(22, PylonEmulator::Frame::Header, Step::CorruptBlock());
    emu.On(26, PylonEmulator::Frame::Header, Step::CorruptBlock());
    PylonConfig model;
    const PylonConfig before(model);
    ASSERT_EQ(link.Connect(), 0);
    link.command = 22;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    EXPECT_EQ(link.ReadPriceBlock(model), 204);
    link.command = 26;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    EXPECT_EQ(link.ReadFontBlock(model), 204);
    EXPECT_TRUE(model.SameFields(before));
}

TEST_F(Link, ADroppedConnectionEndsTheExchange)
{
    emu.Script({Step::Normal(), Step::Drop()});
    ASSERT_EQ(link.Connect(), 0);
    link.command = 20;
    ASSERT_EQ(link.SendHeader(), 0);
    ASSERT_EQ(link.ReadReply(), 170);
    PylonConfig model;
    ASSERT_EQ(link.SendPriceDigits(model), 0);
    EXPECT_EQ(link.ReadReply(), 6);  // the connection ended before any byte
    // Writing into a closed connection fails soon after (the peer resets it).
    LinkResult r = 0;
    for (int i = 0; i < 50 && r == 0; ++i) {
        r = link.SendHeader();
        if (r == 0) ::usleep(2000);
    }
    EXPECT_EQ(r, 5);
}

TEST_F(Link, ARefusingPylonIsAConnectionError)
{
    emu.RefuseConnections(true);
    const auto t = Clock::now();
    EXPECT_EQ(link.Connect(), 2);
    EXPECT_LT(MsSince(t), 100);
    EXPECT_FALSE(link.IsConnected());
    emu.RefuseConnections(false);
    EXPECT_EQ(link.Connect(), 0);
}

TEST(LinkConnect, GivesUpAfterTheTimeOutWhenNobodyAnswers)
{
    // A listener whose accept queue is full lets new handshakes go unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 2; ++i) {
        fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    ::usleep(20000);

    PylonLink link("127.0.0.1", ntohs(sa.sin_port));
    link.timeout = 200;
    const auto t = Clock::now();
    EXPECT_EQ(link.Connect(), 2);
    EXPECT_GE(MsSince(t), 190);
    EXPECT_LT(MsSince(t), 1000);
    EXPECT_FALSE(link.IsConnected());
    for (int fd : fillers) ::close(fd);
    ::close(listener);
}

TEST(LinkConnect, TakesOnlyNumericAddressesAndRealPorts)
{
    PylonEmulator emu;
    const uint16_t port = emu.ListenTcp(0);
    PylonLink link("0.0.0.0", port);
    // The placeholder target names no pylon, even though a system would
    // take 0.0.0.0 for this machine.
    EXPECT_EQ(link.Connect(), 2);
    for (const char* bad : {"localhost", "", "127.0.0", "127.0.0.1.", "127.0.0.256", "1270.0.0.1", " 127.0.0.1",
                            "127.0.0.1 ", "127.0.0.x", "0x7f.0.0.1"}) {
        link.SetTarget(bad, port);
        EXPECT_EQ(link.Connect(), 2) << bad;
    }
    for (int badPort : {0, -1, 65536, 70000 + port}) {
        link.SetTarget("127.0.0.1", badPort);
        EXPECT_EQ(link.Connect(), 2) << badPort;
    }
    EXPECT_EQ(emu.ConnectionsAccepted(), 0);
    // Groups with leading zeros, as typed into the four address edits, are decimal.
    link.SetTarget("127.000.000.001", port);
    EXPECT_EQ(link.Connect(), 0);
    link.Disconnect();
}

TEST(LinkConnect, DisconnectIsHarmlessWhenNothingIsOpen)
{
    PylonEmulator emu;
    const uint16_t port = emu.ListenTcp(0);
    PylonLink link("127.0.0.1", port);
    link.Disconnect();
    ASSERT_EQ(link.Connect(), 0);
    link.Disconnect();
    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    // Nothing open: sends and reads fail like a broken connection, without a crash.
    EXPECT_EQ(link.SendHeader(), 5);
    EXPECT_EQ(link.ReadReply(), 7);
    emu.RefuseConnections(true);
    EXPECT_EQ(link.Connect(), 2);
    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    // The target stays as it was set.
    EXPECT_EQ(link.Address(), "127.0.0.1");
    EXPECT_EQ(link.Port(), port);
}

TEST(LinkReport, AppendsTheMessageOfEachCode)
{
    for (int i = 0; i < MsgCount; ++i) Msg[i] = "msg " + std::to_string(i);
    const std::pair<LinkResult, int> table[] = {{1, 6},  {2, 7},    {3, 8},    {4, 9},    {5, 10},  {6, 11},
                                                {7, 12}, {101, 13}, {170, 28}, {204, 14}, {254, 15}};
    for (const auto& [code, msg] : table) {
        LinesLog log;
        ReportResult(code, log);
        EXPECT_EQ(log.lines, Lines{Msg[msg]}) << code;
    }
    for (LinkResult silent : {0, 8, 100, 169, 171, 255, -1}) {
        LinesLog log;
        ReportResult(silent, log);
        EXPECT_TRUE(log.lines.empty()) << silent;
    }
}
