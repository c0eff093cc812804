// Send and Download with several pylons, and the read-back after sending:
// the log the operator reads, when it closes, the result of every pylon, and
// the bytes on the wire.
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;
using Kind = TransferStep::Kind;

namespace {

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// The Send of FillDistinct(model, 3), byte for byte, as the pylon receives it.
const char* const RecordedSend =
    "4b64341433343536373839303132333435363738393031323334353637383930"
    "313233343536373839303132333425cd39cd4b64341503010000010000010000"
    "01010000000200010001030100000000000100000101000101353f4915001c13"
    "f54b64341904020000000000000000000000000000000000000000";

const Lines NetSent{Connecting("127.0.0.1"), "* Sending data...", "OK"};

class ThreePylonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<uint16_t> ports;
        for (auto& e : emu) ports.push_back(e.ListenTcp());
        FillDistinct(rig.model, 3);
        rig.UseNetwork(ports);
    }

    PylonEmulator emu[3];
    CommandRig rig;
};

TEST_F(ThreePylonsTest, SendShowsEveryPylonAndStaysOpenAfterAFailure)
{
    // The good pylon first: its success must not close the log on the others.
    emu[1].Script({Step::Reply(Frames::ReplyInvalidCommand)});
    emu[2].On(Frames::CmdSendLineSettings, Frame::Payload, Step::Reply(Frames::ReplyCrcError));
    const TransferResult r = ConfigTransfer(rig.Env()).Send();

    EXPECT_EQ(rig.log.events, Lines({"[show]"}) + NetSent +
                                  Lines({Connecting("127.0.0.1"), "* Sending data...", "* Invalid command",
                                         Connecting("127.0.0.1"), "* Sending data...", "* CRC error"}));
    EXPECT_TRUE(rig.waiter.waits.empty());

    ASSERT_EQ(r.pylons.size(), 3u);
    EXPECT_FALSE(r.AllSucceeded());
    const bool succeeded[] = {true, false, false};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r.pylons[i].succeeded, succeeded[i]) << i;
        EXPECT_EQ(r.pylons[i].target, "127.0.0.1:" + std::to_string(emu[i].TcpPort()));
        EXPECT_EQ(r.pylons[i].name, "Pylon " + std::to_string(i + 1));
        EXPECT_EQ(r.pylons[i].verify, VerifyOutcome::NotRun);
    }
    EXPECT_EQ(r.pylons[0].steps.size(), 7u);
    EXPECT_EQ(r.pylons[1].steps, (std::vector<TransferStep>{{Kind::Connect, 0, 0, "", true},
                                                            {Kind::Header, 0x14, 254, "* Invalid command", false}}));
    EXPECT_EQ(r.pylons[2].steps, (std::vector<TransferStep>{{Kind::Connect, 0, 0, "", true},
                                                            {Kind::Header, 0x14, 170, "OK", true},
                                                            {Kind::Block, 0x14, 170, "OK", true},
                                                            {Kind::Header, 0x15, 170, "OK", true},
                                                            {Kind::Block, 0x15, 204, "* CRC error", false}}));
}

TEST_F(ThreePylonsTest, ThreeGoodPylonsCloseTheLogOnceTwoSecondsAfterTheLast)
{
    struct Case {
        const char* what;
        std::function<TransferResult(ConfigTransfer&)> run;
        Lines perPylon;
        size_t lastReceived;  // bytes the last pylon has when the pause begins
    } cases[] = {
        {"send", [](ConfigTransfer& t) { return t.Send(); }, NetSent, 123},
        {"download", [](ConfigTransfer& t) { return t.Download(); },
         {Connecting("127.0.0.1"), "* Data reading...", "OK"}, 8},
    };
    for (const Case& c : cases) {
        for (auto& e : emu) e.ClearReceived();
        rig.waiter.waits.clear();
        rig.log.events.clear();
        Lines atWait;
        rig.waiter.onWait = [&](int) {
            atWait = rig.log.lines;
            EXPECT_EQ(emu[2].Received().size(), c.lastReceived) << c.what;
            EXPECT_FALSE(rig.link.IsConnected()) << c.what;
        };
        ConfigTransfer t(rig.Env());
        const TransferResult r = c.run(t);
        EXPECT_EQ(atWait, c.perPylon + c.perPylon + c.perPylon) << c.what;
        EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000}) << c.what;
        EXPECT_EQ(rig.log.events, Lines({"[show]"}) + atWait + Lines({"[close]"})) << c.what;
        EXPECT_TRUE(r.AllSucceeded()) << c.what;
    }
}

TEST_F(ThreePylonsTest, DownloadStaysOpenWhenOnePylonsPricesFail)
{
    emu[1].On(Frames::CmdReadPriceBlock, Frame::Header, Step::CorruptBlock());
    const TransferResult r = ConfigTransfer(rig.Env()).Download();
    EXPECT_EQ(rig.log.lines,
              Lines({Connecting("127.0.0.1"), "* Data reading...", "OK", Connecting("127.0.0.1"), "* Data reading...",
                     "* Reading data error 204", "* CRC error", Connecting("127.0.0.1"), "* Data reading...", "OK"}));
    EXPECT_TRUE(rig.log.shown);
    EXPECT_TRUE(rig.waiter.waits.empty());
    EXPECT_EQ(rig.shown.size(), 2u);
    ASSERT_EQ(r.pylons.size(), 3u);
    EXPECT_EQ(r.pylons[1].steps.back(), (TransferStep{Kind::ReadBlock, 0x16, 204, "* CRC error", false}));
}

// ---- verification after sending, against the emulator

class VerifyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillDistinct(rig.model, 3);
        // Line 3 reads 6.49.
        rig.model.Prices[2].Price = {0, 0, 0, 6, 4, 9};
        rig.model.Prices[2].Conf = K_PRICE_CONF{};
    }

    TransferResult Send(bool verify)
    {
        TransferOptions o;
        o.verifyAfterSend = verify;
        return ConfigTransfer(rig.Env(), o).Send();
    }

    CommandRig rig;
};

TEST_F(VerifyTest, OffTheWireCarriesExactlyTheRecordedSendAndOnItAddsTheTwoReads)
{
    rig.model = K_PYLON();
    FillDistinct(rig.model, 3);
    for (bool verify : {false, true}) {
        PylonEmulator emu;
        rig.UseNetwork({emu.ListenTcp()});
        std::vector<uint8_t> expected = FromHex(RecordedSend);
        if (verify) {
            for (uint8_t c : {Frames::CmdReadPriceBlock, Frames::CmdReadFontBlock}) {
                const Frames::Header h = Frames::MakeHeader(c);
                expected.insert(expected.end(), h.begin(), h.end());
            }
        }
        const TransferResult r = Send(verify);
        EXPECT_EQ(emu.Received(), expected) << verify;
        EXPECT_EQ(emu.ConnectionsAccepted(), 1) << verify;
        EXPECT_EQ(r.pylons.at(0).verify, verify ? VerifyOutcome::Verified : VerifyOutcome::NotRun);
    }
}

TEST_F(VerifyTest, ReadBackFindsWhatThePylonHoldsOtherwise)
{
    using Alter = std::function<void(uint8_t, PylonEmulator::State&)>;
    // Offsets in the pylon's price block: 5 bytes per line, then left, right,
    // sensor, gamma, then six digit characters per line.
    const auto digit = [](int line, int j) { return 39 + 6 * line + j; };
    struct Case {
        const char* what;
        std::function<void(K_PYLON&)> model;
        Alter alter;
        std::function<void(PylonEmulator&)> script;
        Lines verifyLines;
        VerifyOutcome outcome;
    } cases[] = {
        {"the pylon holds what was sent", nullptr, nullptr, nullptr,
         {"* Verified: the pylon holds what was sent"}, VerifyOutcome::Verified},
        {"one digit stored wrong", nullptr,
         [&](uint8_t c, PylonEmulator::State& s) {
             if (c == Frames::CmdSendDigits) s.price[digit(2, 4)] = '5';
         },
         nullptr, {"Line 3: sent 6.49, pylon holds 6.59"}, VerifyOutcome::Differs},
        {"blanked zeros reported as blanks", [](K_PYLON& m) { m.Prices[2].Conf.ZerosOff = 1; },
         [&](uint8_t c, PylonEmulator::State& s) {
             if (c == Frames::CmdSendDigits)
                 for (int j = 0; j < 3; ++j) s.price[digit(2, j)] = ' ';
         },
         nullptr, {"* Verified: the pylon holds what was sent"}, VerifyOutcome::Verified},
        {"gamma off with a gamma value in the model",
         [](K_PYLON& m) {
             m.UseGamma = false;
             m.Conf.Gamma = 31;
         },
         nullptr, nullptr, {"* Verified: the pylon holds what was sent"}, VerifyOutcome::Verified},
        {"gamma and a font not kept", nullptr,
         [](uint8_t c, PylonEmulator::State& s) {
             if (c == Frames::CmdSendLineSettings) s.price[38] = 0;
             if (c == Frames::CmdSendFonts) s.basicFont = 9;
         },
         nullptr, {"Gamma: sent 2.1, pylon holds 0", "Basic font: sent 4, pylon holds 9"}, VerifyOutcome::Differs},
        {"read-back refused", nullptr, nullptr,
         [](PylonEmulator& e) {
             e.On(Frames::CmdReadPriceBlock, Frame::Header, Step::Reply(Frames::ReplyInvalidCommand));
         },
         {"* Not verified: the configuration could not be read back from the pylon", "* Invalid command"},
         VerifyOutcome::ReadFailed},
        {"read-back damaged", nullptr, nullptr,
         [](PylonEmulator& e) { e.On(Frames::CmdReadFontBlock, Frame::Header, Step::CorruptBlock()); },
         {"* Not verified: the configuration could not be read back from the pylon", "* CRC error"},
         VerifyOutcome::ReadFailed},
    };
    for (const Case& c : cases) {
        SetUp();
        if (c.model) c.model(rig.model);
        PylonEmulator emu;
        if (c.alter) emu.AlterStored(c.alter);
        if (c.script) c.script(emu);
        rig.UseNetwork({emu.ListenTcp()});
        rig.waiter.waits.clear();
        K_PYLON before(rig.model);

        const TransferResult r = Send(true);
        const bool good = c.outcome == VerifyOutcome::Verified;
        EXPECT_EQ(rig.log.lines, NetSent + c.verifyLines) << c.what;
        EXPECT_EQ(rig.log.shown, !good) << c.what;
        EXPECT_EQ(rig.waiter.waits.size(), good ? 1u : 0u) << c.what;
        ASSERT_EQ(r.pylons.size(), 1u);
        EXPECT_EQ(r.pylons[0].verify, c.outcome) << c.what;
        EXPECT_EQ(r.pylons[0].succeeded, good) << c.what;
        EXPECT_EQ(r.pylons[0].verifyLines, c.verifyLines) << c.what;
        EXPECT_TRUE(rig.model.SameFields(before)) << c.what << ": the program's model is not touched";
        EXPECT_FALSE(rig.link.IsConnected());
    }
}

TEST_F(VerifyTest, SerialReadBackClosesThePortAndKeepsTheLogOpenOnADifference)
{
    for (bool wrong : {false, true}) {
        PylonEmulator emu;
        if (wrong)
            emu.AlterStored([](uint8_t c, PylonEmulator::State& s) {
                if (c == Frames::CmdSendDigits) s.price[39 + 12 + 4] = '5';
            });
        const std::string pty = emu.OpenPty();
        rig.UseSerial(pty);
        rig.waiter.waits.clear();
        const TransferResult r = Send(true);
        const std::string line =
            wrong ? "Line 3: sent 6.49, pylon holds 6.59" : "* Verified: the pylon holds what was sent";
        EXPECT_EQ(rig.log.lines,
                  PortLines(pty, 0, 1) + Lines({"* Sending data...", "OK", line}) + PortLines(pty, 2, 3));
        EXPECT_EQ(rig.log.shown, wrong);
        EXPECT_EQ(rig.waiter.waits.size(), wrong ? 0u : 1u);
        EXPECT_FALSE(rig.port.Connected());
        ASSERT_EQ(r.pylons.size(), 1u);
        EXPECT_EQ(r.pylons[0].target, pty + " 9600");
        EXPECT_EQ(r.pylons[0].succeeded, !wrong);
    }
}

}  // namespace
