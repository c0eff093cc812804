// Send and Download with several pylons, and the read-back after sending:
// the log the operator reads, when it closes, the result of every pylon, and
// the bytes on the wire.
#include <functional>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;
using Kind = TransferStep::Kind;

namespace {

const Lines NetSent{Connecting("127.0.0.1"), "* Sending data...", "OK"};
const std::string Verified = "* Verified: the pylon holds what was sent";

TransferResult Send(CommandRig& rig, bool verify)
{
    TransferOptions o;
    o.verifyAfterSend = verify;
    return ConfigTransfer(rig.Env(), o).Send();
}

class ThreePylonsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillDistinct(rig.model, 3);
        rig.UseNetwork({emu[0].ListenTcp(), emu[1].ListenTcp(), emu[2].ListenTcp()});
    }
    PylonEmulator emu[3];
    CommandRig rig;
};

TEST_F(ThreePylonsTest, SendShowsEveryPylonAndStaysOpenAfterAFailure)
{
    // The good pylon first: its success must not close the log on the others.
    emu[1].Script({Step::Reply(Frames::ReplyInvalidCommand)});
    emu[2].On(Frames::CmdSendLineSettings, Frame::Payload, Step::Reply(Frames::ReplyCrcError));
    const TransferResult r = Send(rig, false);
    EXPECT_EQ(rig.log.events, Lines({"[show]"}) + NetSent +
                                  Lines({Connecting("127.0.0.1"), "* Sending data...", "* Invalid command",
                                         Connecting("127.0.0.1"), "* Sending data...", "* CRC error"}));
    EXPECT_TRUE(rig.waiter.waits.empty());
    ASSERT_EQ(r.pylons.size(), 3u);
    EXPECT_TRUE(r.pylons[0].succeeded);
    EXPECT_EQ(r.pylons[1].steps.back(), (TransferStep{Kind::Header, 0x14, 254, "* Invalid command", false}));
    EXPECT_EQ(r.pylons[2].steps.size(), 5u);
    EXPECT_EQ(r.pylons[2].steps.back(), (TransferStep{Kind::Block, 0x15, 204, "* CRC error", false}));
    EXPECT_EQ(r.pylons[2].target, "127.0.0.1:" + std::to_string(emu[2].TcpPort()));
}

TEST_F(ThreePylonsTest, GoodPylonsCloseTheLogOnceTwoSecondsAfterTheLast)
{
    struct Case {
        std::function<TransferResult(ConfigTransfer&)> run;
        Lines perPylon;
        size_t lastReceived;  // bytes the last pylon has when the pause begins
    } cases[] = {
        {[](ConfigTransfer& t) { return t.Send(); }, NetSent, 123},
        {[](ConfigTransfer& t) { return t.Download(); }, {Connecting("127.0.0.1"), "* Data reading...", "OK"}, 8},
    };
    for (const Case& c : cases) {
        for (auto& e : emu) e.ClearReceived();
        rig.waiter.waits.clear();
        rig.log.events.clear();
        rig.waiter.onWait = [&](int) { EXPECT_EQ(emu[2].Received().size(), c.lastReceived); };
        ConfigTransfer t(rig.Env());
        EXPECT_TRUE(c.run(t).AllSucceeded());
        EXPECT_EQ(rig.waiter.waits, std::vector<int>{2000});
        EXPECT_EQ(rig.log.events, Lines({"[show]"}) + c.perPylon + c.perPylon + c.perPylon + Lines({"[close]"}));
    }
}

TEST(TransferWire, VerifyOffSendsExactlyTheRecordedBytesAndOnAddsTheTwoReads)
{
    // The Send of FillDistinct(model, 3), byte for byte.
    const std::string recorded = "4b64341433343536373839303132333435363738393031323334353637383930"
                                 "313233343536373839303132333425cd39cd4b64341503010000010000010000"
                                 "01010000000200010001030100000000000100000101000101353f4915001c13"
                                 "f54b64341904020000000000000000000000000000000000000000";
    for (bool verify : {false, true}) {
        CommandRig rig;
        FillDistinct(rig.model, 3);
        PylonEmulator emu;
        rig.UseNetwork({emu.ListenTcp()});
        std::string expected = recorded + (verify ? "4b6434164b64341a" : "");
        Send(rig, verify);
        std::string got;
        char hex[3];
        for (uint8_t b : emu.Received()) got += (std::snprintf(hex, sizeof hex, "%02x", b), hex);
        EXPECT_EQ(got, expected) << verify;
    }
}

TEST(TransferVerify, ReadBackAgainstTheEmulatorFindsWhatThePylonHoldsOtherwise)
{
    using State = PylonEmulator::State;
    // The pylon's price block: 5 bytes per line, left, right, sensor, gamma, 6 digits per line.
    const auto digit = [](State& s, int line, int j) -> uint8_t& { return s.price[39 + 6 * line + j]; };
    struct Case {
        const char* what;
        std::function<void(PylonConfig&)> model;
        std::function<void(uint8_t, State&)> keep;  // what the pylon makes of a block
        Lines verifyLines;
    } cases[] = {
        {"as sent", nullptr, nullptr, {Verified}},
        {"one digit wrong",
         nullptr,
         [&](uint8_t c, State& s) {
             if (c == 0x14) digit(s, 2, 4) = '5';
         },
         {"Line 3: sent 6.49, pylon holds 6.59"}},
        {"blanks for blanked zeros",
         [](PylonConfig& m) { m.Prices[2].Conf.ZerosOff = 1; },
         [&](uint8_t c, State& s) {
             if (c == 0x14) digit(s, 2, 0) = digit(s, 2, 1) = digit(s, 2, 2) = ' ';
         },
         {Verified}},
        {"gamma off with a value in the model",
         [](PylonConfig& m) { m.UseGamma = false, m.Conf.Gamma = 31; },
         nullptr,
         {Verified}},
        {"gamma and a font not kept",
         nullptr,
         [](uint8_t c, State& s) {
             if (c == 0x15) s.price[38] = 0;
             if (c == 0x19) s.basicFont = 9;
         },
         {"Gamma: sent 2.1, pylon holds 0", "Basic font: sent 4, pylon holds 9"}},
        {"read-back refused",
         nullptr,
         nullptr,
         {"* Not verified: the configuration could not be read back from the pylon", "* Invalid command"}},
    };
    for (const Case& c : cases) {
        CommandRig rig;
        FillDistinct(rig.model, 3);
        rig.model.Prices[2].Price = {0, 0, 0, 6, 4, 9};  // line 3 reads 6.49
        rig.model.Prices[2].Conf = LineSettings{};
        if (c.model) c.model(rig.model);
        PylonEmulator emu;
        emu.AlterStored(c.keep);
        if (c.verifyLines.size() == 2 && c.verifyLines[1] == "* Invalid command")
            emu.On(Frames::CmdReadPriceBlock, Frame::Header, Step::Reply(Frames::ReplyInvalidCommand));
        rig.UseNetwork({emu.ListenTcp()});
        const PylonConfig before(rig.model);

        const TransferResult r = Send(rig, true);
        const bool good = c.verifyLines == Lines{Verified};
        EXPECT_EQ(rig.log.lines, NetSent + c.verifyLines) << c.what;
        EXPECT_EQ(rig.log.shown, !good) << c.what;
        EXPECT_EQ(r.pylons.at(0).succeeded, good) << c.what;
        EXPECT_EQ(r.pylons[0].verifyLines, c.verifyLines) << c.what;
        EXPECT_TRUE(rig.model.SameFields(before)) << c.what << ": the program's model is not touched";
    }
}

TEST(TransferVerify, SerialReadBackKeepsTheLogOpenOnADifference)
{
    CommandRig rig;
    FillDistinct(rig.model, 3);
    PylonEmulator emu;
    emu.AlterStored([](uint8_t c, PylonEmulator::State& s) {
        if (c == 0x14) s.price[39] = '9';
    });
    const std::string pty = emu.OpenPty();
    rig.UseSerial(pty);
    const TransferResult r = Send(rig, true);
    const std::string line = "Line 1: sent 345.678, blinking, leading zeros off, "
                             "pylon holds 945.678, blinking, leading zeros off";
    EXPECT_EQ(rig.log.lines, PortLines(pty, 0, 1) + Lines({"* Sending data...", "OK", line}) + PortLines(pty, 2, 3));
    EXPECT_TRUE(rig.log.shown);
    EXPECT_EQ(r.pylons.at(0).target, pty + " 9600");
    EXPECT_EQ(r.pylons[0].verify, VerifyOutcome::Differs);
}

}  // namespace
