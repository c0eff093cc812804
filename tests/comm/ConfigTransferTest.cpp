// Send and Download against the emulator: the bytes on the wire, the log the
// operator reads, the pauses, and what the model and the pylon hold after.
#include <algorithm>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;

namespace {

// The fields that travel on the wire, compared one by one for a clear report.
void ExpectSameOnWire(const PylonConfig& a, const PylonConfig& b)
{
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(a.Prices[i].Price, b.Prices[i].Price) << "line " << i;
        EXPECT_EQ(a.Prices[i].Conf, b.Prices[i].Conf) << "line " << i;
    }
    EXPECT_EQ(a.Conf.Left, b.Conf.Left);
    EXPECT_EQ(a.Conf.Right, b.Conf.Right);
    EXPECT_EQ(a.Conf.Sensor, b.Conf.Sensor);
    EXPECT_EQ(a.UseGamma, b.UseGamma);
    if (a.UseGamma && b.UseGamma) {
        EXPECT_EQ(a.Conf.Gamma, b.Conf.Gamma);
    }
    EXPECT_EQ(a.FontConf, b.FontConf);
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<uint8_t> SendBytes(const PylonConfig& m)
{
    return Concat({Bytes(Frames::MakeHeader(0x14)), Bytes(Frames::MakeDigitsBlock(m)), Bytes(Frames::MakeHeader(0x15)),
                   Bytes(Frames::MakeLineSettingsBlock(m)), Bytes(Frames::MakeHeader(0x19)),
                   Bytes(Frames::MakeFontBlock(m))});
}

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tcpPort = emu.ListenTcp();
        FillDistinct(rig.model, 3);
    }

    void Send() { ConfigTransfer(rig.Env()).Send(); }
    void Download() { ConfigTransfer(rig.Env()).Download(); }

    // A port of this machine where nothing listens.
    uint16_t DeadPort()
    {
        dead.ListenTcp();
        dead.RefuseConnections(true);
        return dead.TcpPort();
    }

    PylonEmulator emu;
    PylonEmulator dead;
    uint16_t tcpPort = 0;
    CommandRig rig;
};

// ---- Send over the network ----

TEST_F(TransferTest, NetworkSendPutsTheExactFramesOnTheWireAndClosesTheLogAfterTheWait)
{
    rig.UseNetwork({tcpPort});
    Lines linesAtWait;
    rig.waiter.onWait = [&](int) {
        linesAtWait = rig.log.lines;
        EXPECT_TRUE(rig.log.shown);
    };
    Send();

    EXPECT_EQ(emu.Received(), SendBytes(rig.model));
    PylonConfig held;
    emu.ToModel(held);
    ExpectSameOnWire(held, rig.model);

    const Lines before{Connecting("127.0.0.1"), "* Sending data...", "OK"};
    EXPECT_EQ(linesAtWait, before);
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
    // "OK" once: the end step adds no second one after a success.
    EXPECT_EQ(rig.log.events, Lines({"[show]", before[0], before[1], "OK", "[close]"}));
    EXPECT_FALSE(rig.link.IsConnected());
    EXPECT_TRUE(rig.warnings.empty());
}

TEST_F(TransferTest, NetworkSendWithoutGammaSendsZeroWhateverGammaHolds)
{
    rig.model.UseGamma = false;
    rig.model.Conf.Gamma = 31;
    rig.UseNetwork({tcpPort});
    Send();
    const auto frames = emu.ReceivedFrames();
    ASSERT_EQ(frames.size(), 6u);
    ASSERT_EQ(frames[3].size(), 43u);
    EXPECT_EQ(frames[3][38], 0);
}

TEST_F(TransferTest, NetworkSendGoesOnAfterAnUnreachablePylonAndKeepsTheLogOpen)
{
    rig.UseNetwork({DeadPort(), tcpPort});
    Send();
    EXPECT_EQ(rig.log.events, Lines({"[show]", Connecting("127.0.0.1"), "* Connection error", Connecting("127.0.0.1"),
                                     "* Sending data...", "OK"}));
    EXPECT_TRUE(rig.waiter.waits.empty());
    EXPECT_EQ(emu.Received(), SendBytes(rig.model));
}

TEST_F(TransferTest, NetworkSendStopsAtARefusedHeaderAndKeepsTheLogOpen)
{
    emu.Script({Step::Reply(0xFE)});
    rig.UseNetwork({tcpPort});
    Send();
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Sending data...", "* Invalid command"}));
    EXPECT_TRUE(rig.log.shown);
    EXPECT_TRUE(rig.waiter.waits.empty());
    EXPECT_FALSE(rig.link.IsConnected());
    EXPECT_EQ(emu.Received(), Bytes(Frames::MakeHeader(0x14)));
}

TEST_F(TransferTest, NetworkSendReportsEachFailingReplyByItsMessage)
{
    struct Case {
        Step step;
        std::string line;
    } cases[] = {
        {Step::Reply(0xCC), "* CRC error"},
        {Step::Reply(0x65), "* Memory error"},
        {Step::ReplyBytes(0xAA, 0xAB), "* Reading data error"},
        {Step::Silence(), "* Reading data - timeout"},
    };
    rig.UseNetwork({tcpPort});
    for (const Case& c : cases) {
        // The line settings block (the fourth frame) meets the failure.
        emu.Script({Step::Normal(), Step::Normal(), Step::Normal(), c.step});
        Send();
        EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Sending data...", c.line})) << c.line;
        EXPECT_TRUE(rig.log.shown);
        emu.ClearScript();
    }
    EXPECT_TRUE(rig.waiter.waits.empty());
}

TEST_F(TransferTest, EmptyNetworkListIsRefusedBeforeTheLogIsShown)
{
    rig.model.UseCOM = false;
    rig.model.NetSettings.clear();
    Send();
    Download();
    ASSERT_EQ(rig.warnings.size(), 2u);
    for (const BoxCall& w : rig.warnings) {
        EXPECT_EQ(w.text, "* Undefined network settings");
        EXPECT_EQ(w.style, 48);
    }
    EXPECT_EQ(rig.log.shows, 0);
    EXPECT_EQ(emu.ConnectionsAccepted(), 0);
}

TEST_F(TransferTest, ListWithoutActivePylonShowsAnEmptyLogAndLeavesItOpen)
{
    rig.UseNetwork({tcpPort});
    rig.model.NetSettings[0].Active = false;
    Send();
    EXPECT_EQ(rig.log.shows, 1);
    EXPECT_TRUE(rig.log.lines.empty());
    EXPECT_TRUE(rig.log.shown);
    EXPECT_EQ(emu.ConnectionsAccepted(), 0);
}

// ---- Download over the network ----

class DownloadTest : public TransferTest {
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        PylonConfig onPylon;
        onPylon.DetachSession();
        FillDistinct(onPylon, 5);
        emu.FromModel(onPylon);
        pylon = onPylon;
        pylon.DetachSession();
        FillDistinct(rig.model, 1);
        before = rig.model;
        before.DetachSession();
    }

    // The model holds what it held before the download; the connection
    // settings, set after the snapshot, are not the question.
    bool Unchanged() const
    {
        PylonConfig b(before);
        b.DetachSession();
        b.UseCOM = rig.model.UseCOM;
        b.ComName = rig.model.ComName;
        b.ComSpeed = rig.model.ComSpeed;
        b.NetSettings = rig.model.NetSettings;
        return rig.model.SameFields(b);
    }

    PylonConfig pylon;
    PylonConfig before;
};

TEST_F(DownloadTest, NetworkDownloadTakesThePylonsConfigurationAndShowsIt)
{
    rig.UseNetwork({tcpPort});
    rig.waiter.onWait = [&](int) { EXPECT_EQ(rig.shown.size(), 1u); };
    Download();

    EXPECT_EQ(emu.Received(), Concat({Bytes(Frames::MakeHeader(0x16)), Bytes(Frames::MakeHeader(0x1A))}));
    ExpectSameOnWire(rig.model, pylon);
    ASSERT_EQ(rig.shown.size(), 1u);
    ExpectSameOnWire(rig.shown[0], pylon);
    EXPECT_EQ(rig.log.events, Lines({"[show]", Connecting("127.0.0.1"), "* Data reading...", "OK", "[close]"}));
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
    EXPECT_FALSE(rig.link.IsConnected());
    // Names and connection settings never come from the pylon.
    EXPECT_EQ(rig.model.Prices[0].Name, before.Prices[0].Name);
    EXPECT_EQ(rig.model.NetSettings.size(), 1u);
}

TEST_F(DownloadTest, PartialPriceBlockIsAReadErrorAndChangesNothing)
{
    emu.On(0x16, Frame::Header, Step::PartialBlock(50));
    rig.UseNetwork({tcpPort});
    Download();
    EXPECT_EQ(rig.log.lines,
              Lines({Connecting("127.0.0.1"), "* Data reading...", "* Reading data error 6", "* Reading data error"}));
    EXPECT_TRUE(Unchanged());
    EXPECT_TRUE(rig.shown.empty());
    EXPECT_TRUE(rig.log.shown);
}

TEST_F(DownloadTest, PriceBlockWithBadChecksumLeavesTheModelUnchanged)
{
    emu.On(0x16, Frame::Header, Step::CorruptBlock());
    rig.UseNetwork({tcpPort});
    Download();
    EXPECT_EQ(rig.log.lines,
              Lines({Connecting("127.0.0.1"), "* Data reading...", "* Reading data error 204", "* CRC error"}));
    EXPECT_TRUE(Unchanged());
    EXPECT_TRUE(rig.shown.empty());
    EXPECT_TRUE(rig.log.shown);
    EXPECT_FALSE(rig.link.IsConnected());
}

TEST_F(DownloadTest, FontBlockWithBadChecksumKeepsTheFontsButShowsThePrices)
{
    emu.On(0x1A, Frame::Header, Step::CorruptBlock());
    rig.UseNetwork({tcpPort});
    Download();
    // No "OK": only both blocks intact earn it.
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Data reading..."}));
    EXPECT_EQ(rig.model.FontConf, before.FontConf);
    EXPECT_EQ(rig.model.Prices[2].Price, pylon.Prices[2].Price);
    EXPECT_EQ(rig.shown.size(), 1u);
    EXPECT_FALSE(rig.log.shown);
}

TEST_F(DownloadTest, SilentPylonTimesOut)
{
    emu.Script({Step::Silence()});
    rig.UseNetwork({tcpPort});
    Download();
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Data reading...", "* Reading data error",
                                    "* Reading data - timeout"}));
    EXPECT_TRUE(rig.log.shown);
}

TEST_F(DownloadTest, RefusedFontHeaderIsLoggedWithItsNumberAndThePricesAreStillShown)
{
    emu.On(0x1A, Frame::Header, Step::Reply(0xFE));
    rig.UseNetwork({tcpPort});
    Download();
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Data reading...", "* Reading data error 254"}));
    EXPECT_EQ(rig.shown.size(), 1u);
    EXPECT_FALSE(rig.log.shown);
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
}

TEST_F(DownloadTest, InactiveThenUnreachableLogsOnlyTheSecondAndStaysOpen)
{
    rig.UseNetwork({tcpPort, DeadPort()});
    rig.model.NetSettings[0].Active = false;
    Download();
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Connection error"}));
    EXPECT_TRUE(rig.log.shown);
    EXPECT_EQ(emu.ConnectionsAccepted(), 0);
    EXPECT_TRUE(Unchanged());
}

// ---- Serial paths over a pseudo-terminal ----

class SerialTransferTest : public DownloadTest {
protected:
    void SetUp() override
    {
        DownloadTest::SetUp();
        pty = emu.OpenPty();
        rig.UseSerial(pty);
    }

    Lines PortLines(int from, int to) const { return ::PortLines(pty, from, to); }

    std::string pty;
};

TEST_F(SerialTransferTest, SerialSendLogsThePortLinesAndClosesAfterTheWait)
{
    Lines atWait;
    rig.waiter.onWait = [&](int) {
        atWait = rig.log.lines;
        EXPECT_TRUE(rig.port.Connected());
    };
    Send();
    EXPECT_EQ(emu.Received(), SendBytes(rig.model));
    EXPECT_EQ(atWait, PortLines(0, 1) + Lines({"* Sending data...", "OK"}));
    EXPECT_EQ(rig.log.lines, atWait + PortLines(2, 3));
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
    EXPECT_FALSE(rig.log.shown);
    EXPECT_FALSE(rig.port.Connected());
    PylonConfig held;
    emu.ToModel(held);
    ExpectSameOnWire(held, rig.model);
}

TEST_F(SerialTransferTest, SerialSendReportsARefusalAsATimeoutAndGarbageAsAReadError)
{
    const std::pair<Step, std::string> cases[] = {{Step::Reply(0xCC), "* Reading data - timeout"},
                                                  {Step::ReplyBytes(0xAA, 0x00), "* Reading data error"},
                                                  {Step::Silence(), "* Reading data - timeout"}};
    for (const auto& [s, line] : cases) {
        emu.On(0x15, Frame::Payload, s);
        Send();
        EXPECT_EQ(rig.log.lines, PortLines(0, 1) + Lines({"* Sending data...", line}) + PortLines(2, 3));
        EXPECT_TRUE(rig.log.shown);
        EXPECT_FALSE(rig.port.Connected());
    }
    EXPECT_TRUE(rig.waiter.waits.empty());
    EXPECT_TRUE(rig.errors.empty());
}

TEST_F(SerialTransferTest, SerialSpeedIsSetOnlyWhenTheModelHasOne)
{
    rig.model.ComSpeed = 5;
    Send();
    EXPECT_EQ(rig.port.BaudRate(), 5);
    rig.model.ComSpeed = 0;
    Send();
    EXPECT_EQ(rig.port.BaudRate(), 5);
}

TEST_F(SerialTransferTest, MissingPortShowsTheErrorBoxAndTheNextCommandStillWorks)
{
    rig.model.ComName = "ttyLMQ-absent";
    Send();
    ASSERT_EQ(rig.errors.size(), 1u);
    EXPECT_EQ(rig.errors[0], "Unable to open com port (Error: 2)");
    EXPECT_EQ(rig.log.lines, Lines({"Opening port ttyLMQ-absent"}));
    EXPECT_TRUE(rig.log.shown);

    rig.model.ComName = pty;
    Send();
    EXPECT_EQ(rig.errors.size(), 1u);
    EXPECT_FALSE(rig.log.shown);
}

TEST_F(SerialTransferTest, PortLeftOpenIsClosedFirstByTheNextCommand)
{
    rig.port.SetPort(pty);
    rig.port.Open();
    rig.log.ShowLog();
    Send();
    EXPECT_EQ(Lines(rig.log.lines.begin(), rig.log.lines.begin() + 4), PortLines(2, 3) + PortLines(0, 1));
}

TEST_F(SerialTransferTest, SerialDownloadTakesBothBlocksAndShowsThem)
{
    Lines atWait;
    rig.waiter.onWait = [&](int) { atWait = rig.log.lines; };
    Download();
    EXPECT_EQ(emu.Received(), Concat({Bytes(Frames::MakeHeader(0x16)), Bytes(Frames::MakeHeader(0x1A))}));
    ExpectSameOnWire(rig.model, pylon);
    ASSERT_EQ(rig.shown.size(), 1u);
    ExpectSameOnWire(rig.shown[0], pylon);
    // The port is closed and the picture redrawn before the pause.
    EXPECT_EQ(atWait, PortLines(0, 1) + Lines({"* Sending data...", "OK"}) + PortLines(2, 3));
    EXPECT_FALSE(rig.log.shown);
}

TEST_F(SerialTransferTest, SerialPriceBlockWithBadChecksumChangesNothing)
{
    emu.On(0x16, Frame::Header, Step::CorruptBlock());
    Download();
    EXPECT_EQ(rig.log.lines, PortLines(0, 1) + Lines({"* Sending data...", "* CRC error"}) + PortLines(2, 3));
    EXPECT_TRUE(Unchanged());
    EXPECT_TRUE(rig.shown.empty());
    EXPECT_TRUE(rig.log.shown);
}

TEST_F(SerialTransferTest, SerialPartialPriceBlockFailsItsChecksum)
{
    emu.On(0x16, Frame::Header, Step::PartialBlock(50));
    Download();
    EXPECT_NE(std::find(rig.log.lines.begin(), rig.log.lines.end(), "* CRC error"), rig.log.lines.end());
    EXPECT_TRUE(Unchanged());
}

TEST_F(SerialTransferTest, SerialFontsMissingStillShowsThePrices)
{
    emu.On(0x1A, Frame::Header, Step::Silence());
    Download();
    EXPECT_EQ(rig.log.lines,
              PortLines(0, 1) + Lines({"* Sending data...", "* Reading data - timeout"}) + PortLines(2, 3));
    EXPECT_EQ(rig.model.Prices[4].Price, pylon.Prices[4].Price);
    EXPECT_EQ(rig.model.FontConf, before.FontConf);
    EXPECT_EQ(rig.shown.size(), 1u);
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
    EXPECT_FALSE(rig.log.shown);
}

TEST_F(SerialTransferTest, SerialRefusedPriceHeaderEndsWithATimeoutLine)
{
    emu.On(0x16, Frame::Header, Step::Reply(0xFE));
    Download();
    EXPECT_EQ(rig.log.lines,
              PortLines(0, 1) + Lines({"* Sending data...", "* Reading data - timeout"}) + PortLines(2, 3));
    EXPECT_TRUE(rig.shown.empty());
    EXPECT_TRUE(rig.log.shown);
}

TEST(ReadSerialReply, DecodesOneReadOfTwoBytes)
{
    // A bare pseudo-terminal: the test plays the pylon byte by byte.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    termios raw{};
    ::tcgetattr(master, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);

    CommandRig rig;
    ConfigTransfer t(rig.Env());
    EXPECT_EQ(t.ReadSerialReply(), 0) << "port not open";
    rig.port.SetPort(slave.substr(5));  // "pts/N"
    rig.port.Open();
    struct {
        std::vector<uint8_t> sent;
        int result;
    } cases[] = {{{0xAA, 0xAA}, 170}, {{0xAA, 0xAB}, 0}, {{0xFE, 0xFE}, 254}, {{0x06, 0x06}, 6}, {{0xAA}, 6}, {{}, 6}};
    for (const auto& c : cases) {
        if (!c.sent.empty()) {
            ASSERT_EQ(::write(master, c.sent.data(), c.sent.size()), ssize_t(c.sent.size()));
        }
        EXPECT_EQ(t.ReadSerialReply(), c.result) << "after " << c.sent.size() << " bytes";
    }
    rig.port.Close();
    ::close(master);
}

}  // namespace
