// The pylon emulator itself, spoken to byte by byte: every test that talks
// to a "pylon" trusts it to check and answer like the controller.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "emulator/PylonEmulator.h"
#include "model/PylonConfig.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Step = PylonEmulator::Step;

template <typename Block>
Bytes Of(const Block& b)
{
    return Bytes(b.begin(), b.end());
}

Bytes Header(uint8_t command) { return Of(Frames::MakeHeader(command)); }

const Bytes Ack = {0xAA, 0xAA};
const Bytes CrcError = {0xCC, 0xCC};
const Bytes Invalid = {0xFE, 0xFE};

// A bare TCP client: writes what it is given, reads what comes within a limit.
class Wire {
public:
    explicit Wire(uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected = ::connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    }
    ~Wire() { ::close(fd_); }
    void Put(const Bytes& b) { ASSERT_EQ(::send(fd_, b.data(), b.size(), MSG_NOSIGNAL), ssize_t(b.size())); }
    Bytes Get(size_t count, int ms = 500)
    {
        Bytes got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(left)) <= 0) break;
            uint8_t buf[128];
            const ssize_t n = ::recv(fd_, buf, std::min(sizeof buf, count - got.size()), 0);
            if (n <= 0) break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }
    // Sends a frame and returns the pylon's answer of `answer` bytes.
    Bytes Ask(const Bytes& frame, size_t answer = 2)
    {
        Put(frame);
        return Get(answer);
    }
    bool connected = false;

private:
    int fd_ = -1;
};

void Distinct(PylonConfig& m)
{
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 6; ++j) m.Prices[i].Price[j] = uint8_t((3 * i + j) % 10);
    m.Prices[2].Conf = {1, 0, 3, 1, 1};
    m.Conf = {10, 20, 30, 25};
    m.UseGamma = true;
    m.FontConf = {9, 1};
}

class Emulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        emu.frameTimeout = 100;
        port = emu.ListenTcp(0);
    }
    PylonEmulator emu;
    uint16_t port = 0;
};

}  // namespace

TEST_F(Emulator, KeepsWhatItIsSentAndServesItBack)
{
    PylonConfig model;
    Distinct(model);
    Wire w(port);
    ASSERT_TRUE(w.connected);
    EXPECT_EQ(w.Ask(Header(20)), Ack);
    EXPECT_EQ(w.Ask(Of(Frames::MakeDigitsBlock(model))), Ack);
    EXPECT_EQ(w.Ask(Header(21)), Ack);
    EXPECT_EQ(w.Ask(Of(Frames::MakeLineSettingsBlock(model))), Ack);
    EXPECT_EQ(w.Ask(Header(25)), Ack);
    EXPECT_EQ(w.Ask(Of(Frames::MakeFontBlock(model))), Ack);

    Bytes expected = Ack;
    const Bytes price = Of(Frames::MakePriceBlock(model));
    expected.insert(expected.end(), price.begin(), price.end());
    EXPECT_EQ(w.Ask(Header(22), 87), expected);
    expected = Ack;
    const Bytes font = Of(Frames::MakeFontBlock(model));
    expected.insert(expected.end(), font.begin(), font.end());
    EXPECT_EQ(w.Ask(Header(26), 24), expected);

    PylonConfig held;
    emu.ToModel(held);
    EXPECT_EQ(held.Prices, model.Prices);
    EXPECT_EQ(held.Conf, model.Conf);
    EXPECT_EQ(held.FontConf, model.FontConf);
}

TEST_F(Emulator, RefusesBlocksWithABadChecksumAndKeepsItsState)
{
    PylonConfig model;
    Distinct(model);
    const auto before = emu.GetState();
    Wire w(port);
    Bytes digits = Of(Frames::MakeDigitsBlock(model));
    digits[45] ^= 1;
    Bytes lines = Of(Frames::MakeLineSettingsBlock(model));
    lines[0] ^= 1;
    Bytes font = Of(Frames::MakeFontBlock(model));
    font[5] = 1;  // the reserved bytes count in the checksum
    for (auto [command, block] : {std::pair{20, digits}, {21, lines}, {25, font}}) {
        EXPECT_EQ(w.Ask(Header(uint8_t(command))), Ack);
        EXPECT_EQ(w.Ask(block), CrcError) << command;
    }
    // Service settings are checked by their XOR byte.
    EXPECT_EQ(w.Ask(Header(23)), Ack);
    EXPECT_EQ(w.Ask({3, 2, 0}), CrcError);
    EXPECT_EQ(emu.GetState(), before);

    // The line stays usable: the next good frames are taken.
    EXPECT_EQ(w.Ask(Header(23)), Ack);
    EXPECT_EQ(w.Ask({3, 2, 1}), Ack);
    EXPECT_EQ(emu.GetState().prices, 4);
    EXPECT_EQ(emu.GetState().digits, 3);
}

TEST_F(Emulator, RunsTestsAndRefusesUnknownCommandsAndCodes)
{
    Wire w(port);
    EXPECT_EQ(w.Ask(Header(29)), Ack);
    EXPECT_EQ(w.Ask({1}), Ack);
    EXPECT_EQ(emu.GetState().test, 1);
    EXPECT_EQ(w.Ask(Header(29)), Ack);
    EXPECT_EQ(w.Ask({4}), Invalid);
    EXPECT_EQ(emu.GetState().test, 1);
    for (uint8_t unknown : {0x00, 0x13, 0x18, 0x1B, 0xFF}) EXPECT_EQ(w.Ask(Header(unknown)), Invalid) << int(unknown);
    // A header after an unknown command is a header again, not a payload.
    EXPECT_EQ(w.Ask(Header(29)), Ack);
    EXPECT_EQ(w.Ask({0}), Ack);
    EXPECT_EQ(emu.GetState().test, 0);
}

TEST_F(Emulator, FindsTheHeaderAfterNoiseAndDropsHalfFrames)
{
    Wire w(port);
    EXPECT_EQ(w.Ask({0x00, 'K', 'x', 'K', 'd', 0x01, 'K', 'd', '4', 0x16}, 87).size(), 87u);
    // A payload that stops half-way is abandoned after the frame time-out;
    // the next header is not mistaken for the rest of it.
    EXPECT_EQ(w.Ask(Header(20)), Ack);
    w.Put(Bytes(10, '5'));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(w.Ask(Header(26), 24).size(), 24u);
    // Likewise a header cut short.
    w.Put({'K', 'd'});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(w.Ask(Header(29)), Ack);
    EXPECT_EQ(w.Ask({2}), Ack);
    EXPECT_EQ(emu.GetState().test, 2);
    PylonConfig defaults, held;
    emu.ToModel(held);
    EXPECT_EQ(held.Prices, defaults.Prices);  // the ten digits never counted
}

TEST_F(Emulator, ScriptedStepsApplyToFramesInOrderThenRulesThenNormal)
{
    emu.On(22, PylonEmulator::Frame::Header, Step::Reply(0x65));
    emu.Script({Step::ReplyBytes(0xAA, 0xAB), Step::Reply(0xCC), Step::Silence()});
    Wire w(port);
    EXPECT_EQ(w.Ask(Header(22)), (Bytes{0xAA, 0xAB}));  // the script first
    EXPECT_EQ(w.Ask(Header(20)), CrcError);
    w.Put(Header(20));
    EXPECT_TRUE(w.Get(1, 100).empty());
    EXPECT_EQ(w.Ask(Header(22)), (Bytes{0x65, 0x65}));  // then the standing rule
    EXPECT_EQ(w.Ask(Header(26), 24).size(), 24u);       // then normal
    EXPECT_EQ(emu.ReceivedFrames().size(), 5u);
    emu.ClearScript();
    EXPECT_EQ(w.Ask(Header(22), 87).size(), 87u);
}

TEST_F(Emulator, MisbehavesInTheWaysAskedFor)
{
    PylonConfig model;
    Distinct(model);
    emu.FromModel(model);
    const Bytes block = Of(Frames::MakePriceBlock(model));
    emu.Script({Step::PartialBlock(50), Step::CorruptBlock(), Step::Trickle(5), Step::Delay(150), Step::Drop()});
    Wire w(port);
    Bytes got = w.Ask(Header(22), 87);
    ASSERT_EQ(got.size(), 52u);
    EXPECT_TRUE(std::equal(got.begin() + 2, got.end(), block.begin()));
    got = w.Ask(Header(22), 87);
    ASSERT_EQ(got.size(), 87u);
    EXPECT_TRUE(std::equal(got.begin() + 2, got.end() - 1, block.begin()));
    EXPECT_NE(got.back(), block.back());

    auto t = std::chrono::steady_clock::now();
    got = w.Ask(Header(26), 24);
    EXPECT_EQ(got.size(), 24u);
    EXPECT_GE(std::chrono::steady_clock::now() - t, std::chrono::milliseconds(5 * 23));

    w.Put(Header(26));
    EXPECT_TRUE(w.Get(1, 60).empty());
    EXPECT_EQ(w.Get(24, 500).size(), 24u);

    w.Put(Header(26));
    EXPECT_TRUE(w.Get(1, 300).empty());  // dropped
    Wire again(port);
    EXPECT_EQ(again.Ask(Header(26), 24).size(), 24u);
    EXPECT_EQ(emu.ConnectionsAccepted(), 2);
}

TEST_F(Emulator, RefusesConnectionsWhileAsked)
{
    emu.RefuseConnections(true);
    EXPECT_FALSE(Wire(port).connected);
    emu.RefuseConnections(false);
    Wire w(port);
    EXPECT_TRUE(w.connected);
    EXPECT_EQ(w.Ask(Header(29)), Ack);
}

TEST_F(Emulator, LogsEveryByteReceived)
{
    Wire w(port);
    w.Put({0x01, 0x02});
    EXPECT_EQ(w.Ask(Header(29)), Ack);
    EXPECT_EQ(w.Ask({3}), Ack);
    EXPECT_EQ(emu.Received(), (Bytes{0x01, 0x02, 0x4B, 0x64, 0x34, 0x1D, 0x03}));
    EXPECT_EQ(emu.ReceivedFrames(), (std::vector<Bytes>{Header(29), {3}}));
    emu.ClearReceived();
    EXPECT_TRUE(emu.Received().empty());
}

TEST(EmulatorPty, AnswersThroughTheSerialPort)
{
    PylonEmulator emu;
    PylonConfig model;
    Distinct(model);
    emu.FromModel(model);
    std::vector<std::string> events;
    const std::string name = emu.OpenPty();
    ASSERT_EQ(name.rfind("pts/", 0), 0u) << name;

    SerialPort port;
    port.timeouts.readInterval = 100;
    port.timeouts.readTotalPerByte = 10;
    port.timeouts.readTotalConstant = 200;
    port.SetPort(name);
    for (int round = 0; round < 2; ++round) {  // the line survives a close and reopen
        port.Open();
        const auto header = Frames::MakeHeader(22);
        port.Write(header.data(), 4);
        uint8_t answer[87] = {};
        ASSERT_EQ(port.Read(answer, 87), 87);
        EXPECT_EQ(answer[0], 0xAA);
        EXPECT_EQ(answer[1], 0xAA);
        Frames::PriceBlock block;
        std::copy(answer + 2, answer + 87, block.begin());
        PylonConfig read;
        EXPECT_EQ(Frames::DecodePriceBlock(block, read), 0);
        EXPECT_EQ(read.Prices, model.Prices);
        port.Close();
    }
    port.Open();
    const auto header = Frames::MakeHeader(23);
    port.Write(header.data(), 4);
    uint8_t reply[2] = {};
    ASSERT_EQ(port.Read(reply, 2), 2);
    const uint8_t payload[3] = {5, 5, 0};
    port.Write(payload, 3);
    ASSERT_EQ(port.Read(reply, 2), 2);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(emu.GetState().prices, 6);
    EXPECT_EQ(emu.ReceivedFrames().back(), (Bytes{5, 5, 0}));
}
