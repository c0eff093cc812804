// The service settings and display test commands against the emulator, and
// the day password rule.
#include <set>

#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/Frames.h"
#include "comm/ServiceCommands.h"
#include "comm/ServicePassword.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;

namespace {

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override { tcpPort = emu.ListenTcp(); }

    ServiceCommands Commands() { return ServiceCommands(rig.Env()); }

    Lines PortLines(int from, int to) const { return ::PortLines(pty, from, to); }

    void UseSerial()
    {
        pty = emu.OpenPty();
        rig.UseSerial(pty);
    }

    PylonEmulator emu;
    uint16_t tcpPort = 0;
    std::string pty;
    CommandRig rig;
};

TEST_F(ServiceTest, NetworkSettingsCarryPricesDigitsAndTheirXor)
{
    rig.UseNetwork({tcpPort});
    // The window's initial choices: 4 prices (index 3), 3 digits (index 2).
    Commands().SendSettings(3, 2);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x17, 0x03, 0x02, 0x01}));
    EXPECT_EQ(emu.GetState().prices, 4);
    EXPECT_EQ(emu.GetState().digits, 3);
    EXPECT_EQ(rig.log.events, Lines({"[show]", Connecting("127.0.0.1"), "* Sending data...", "OK", "[close]", "OK"}));
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{1000});
    EXPECT_FALSE(rig.link.IsConnected());
}

TEST_F(ServiceTest, SerialSettingsReachThePylonPricesFirst)
{
    UseSerial();
    Lines atWait;
    rig.waiter.onWait = [&](int) { atWait = rig.log.lines; };
    Commands().SendSettings(5, 5);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x17, 0x05, 0x05, 0x00}));
    EXPECT_EQ(emu.GetState().prices, 6);
    EXPECT_EQ(emu.GetState().digits, 6);
    EXPECT_EQ(atWait, PortLines(0, 1) + Lines({"* Sending data...", "OK"}));
    EXPECT_EQ(rig.log.lines, atWait + PortLines(2, 3));
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{1000});
    EXPECT_FALSE(rig.log.shown);

    // Prices first, digits second: 2 prices of 5 digits.
    emu.ClearReceived();
    Commands().SendSettings(1, 4);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x17, 0x01, 0x04, 0x05}));
    EXPECT_EQ(emu.GetState().prices, 2);
    EXPECT_EQ(emu.GetState().digits, 5);
}

TEST_F(ServiceTest, SerialSettingsRefusedAtEitherStepLogTimeout)
{
    UseSerial();
    for (Frame f : {Frame::Header, Frame::Payload}) {
        emu.On(0x17, f, Step::Reply(0xFE));
        Commands().SendSettings(3, 2);
        EXPECT_EQ(rig.log.lines,
                  PortLines(0, 1) + Lines({"* Sending data...", "* Reading data - timeout"}) + PortLines(2, 3));
        EXPECT_TRUE(rig.log.shown);
        emu.ClearScript();
        emu.On(0x17, f, Step::Normal());
    }
    EXPECT_TRUE(rig.waiter.waits.empty());
}

TEST_F(ServiceTest, SerialTestCommandLogsByItsOwnTable)
{
    UseSerial();
    struct Case {
        Step step;
        const char* line;
    } cases[] = {
        {Step::Reply(0xFE), "* Invalid command"},
        {Step::Reply(0x65), "* Memory error"},
        {Step::ReplyBytes(0xAB, 0xAC), "* Reading data error"},
        {Step::Reply(0x00), "* Reading data error"},
        {Step::Reply(0xCC), "* Reading data error"},
        {Step::Silence(), "* Reading data - timeout"},
    };
    for (const Case& c : cases) {
        emu.ClearScript();
        emu.On(0x1D, Frame::Header, c.step);
        Commands().RunTest(ServiceCommands::AllLedsOn);
        EXPECT_EQ(rig.log.lines, PortLines(0, 1) + Lines({"* Sending data...", c.line}) + PortLines(2, 3)) << c.line;
        EXPECT_TRUE(rig.log.shown) << c.line;
        EXPECT_EQ(emu.GetState().test, 0);
    }
    EXPECT_TRUE(rig.waiter.waits.empty());
}

TEST_F(ServiceTest, SerialTestCommandSendsTheCodeAndClosesTheLogAtOnce)
{
    UseSerial();
    Commands().RunTest(ServiceCommands::ShowFirmware);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x1D, 0x03}));
    EXPECT_EQ(emu.GetState().test, 3);
    EXPECT_EQ(rig.log.lines, PortLines(0, 1) + Lines({"* Sending data...", "OK", "OK"}) + PortLines(2, 3));
    EXPECT_FALSE(rig.log.shown);
    EXPECT_TRUE(rig.waiter.waits.empty());
}

TEST_F(ServiceTest, SerialTestCodeRefusedLogsTheSecondLine)
{
    UseSerial();
    emu.On(0x1D, Frame::Payload, Step::Reply(0x65));
    Commands().RunTest(ServiceCommands::ShowAddresses);
    EXPECT_EQ(rig.log.lines, PortLines(0, 1) + Lines({"* Sending data...", "OK", "* Memory error"}) + PortLines(2, 3));
    EXPECT_TRUE(rig.log.shown);
}

TEST_F(ServiceTest, NetworkTestCommandUsesTheLinksMessages)
{
    rig.UseNetwork({tcpPort});
    Commands().RunTest(ServiceCommands::ShowAddresses);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x1D, 0x02}));
    EXPECT_EQ(emu.GetState().test, 2);
    EXPECT_EQ(rig.waiter.waits, std::vector<int>{1000});
    EXPECT_FALSE(rig.log.shown);

    emu.On(0x1D, Frame::Header, Step::Reply(0xCC));
    Commands().RunTest(ServiceCommands::EndTests);
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Sending data...", "* CRC error"}));
    EXPECT_TRUE(rig.log.shown);
}

TEST_F(ServiceTest, EmptyNetworkListRefusesEveryServiceCommand)
{
    rig.model.UseCOM = false;
    Commands().SendSettings(3, 2);
    for (uint8_t code : {0, 1, 2, 3}) Commands().RunTest(code);
    ASSERT_EQ(rig.warnings.size(), 5u);
    for (const BoxCall& w : rig.warnings) {
        EXPECT_EQ(w.text, "* Undefined network settings");
        EXPECT_EQ(w.style, 48);
    }
    EXPECT_EQ(rig.log.shows, 0);
}

TEST_F(ServiceTest, MissingSerialPortShowsTheErrorBox)
{
    rig.UseSerial("ttyLMQ-absent");
    Commands().RunTest(ServiceCommands::EndTests);
    Commands().SendSettings(0, 0);
    ASSERT_EQ(rig.errors.size(), 2u);
    EXPECT_EQ(rig.errors[0], "Unable to open com port (Error: 2)");
}

// ---- The day password ----

using std::chrono::year_month_day;

year_month_day Ymd(int y, unsigned m, unsigned d)
{
    return year_month_day{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

TEST(ServicePassword, EveryDayOfFortyYearsHasTwoDistinctValidPasswords)
{
    std::set<std::string> seen;
    const std::chrono::sys_days first{Ymd(2000, 1, 1)}, last{Ymd(2039, 12, 31)};
    std::string previous[2];
    int days = 0;
    for (std::chrono::sys_days d = first; d <= last; d += std::chrono::days{1}, ++days) {
        const year_month_day ymd{d};
        const std::string p0 = ServicePassword::For(0, ymd), p1 = ServicePassword::For(1, ymd);
        for (const std::string& p : {p0, p1}) {
            ASSERT_FALSE(p.empty());
            ASSERT_LE(int(p.size()), ServicePassword::MaxLength);
            for (char c : p)
                ASSERT_TRUE(std::isdigit(static_cast<unsigned char>(c)) || std::isupper(static_cast<unsigned char>(c)))
                    << p;
        }
        ASSERT_NE(p0, p1) << p0;
        ASSERT_NE(p0, previous[0]);
        ASSERT_NE(p1, previous[1]);
        // No password opens the window on two different days or in both modes.
        ASSERT_TRUE(seen.insert(p0).second) << p0;
        ASSERT_TRUE(seen.insert(p1).second) << p1;
        previous[0] = p0;
        previous[1] = p1;
    }
    EXPECT_EQ(days, 14610);
}

TEST(ServicePassword, MatchesTheServiceNotesAndRefusesTheOtherMode)
{
    const year_month_day day = Ymd(2024, 3, 15);
    EXPECT_EQ(ServicePassword::For(0, day), "KD4M20240315");
    EXPECT_EQ(ServicePassword::For(1, day), "15032024SRV2");
    EXPECT_TRUE(ServicePassword::Accepts(0, day, "KD4M20240315"));
    EXPECT_FALSE(ServicePassword::Accepts(1, day, "KD4M20240315"));
    EXPECT_FALSE(ServicePassword::Accepts(0, day, "15032024SRV2"));
    EXPECT_FALSE(ServicePassword::Accepts(0, Ymd(2024, 3, 16), "KD4M20240315"));
    EXPECT_FALSE(ServicePassword::Accepts(0, day, "kd4m20240315"));
}

TEST(ServicePassword, NothingOpensWithoutADateOrForAnotherMode)
{
    EXPECT_FALSE(ServicePassword::Accepts(0, year_month_day{}, ""));
    EXPECT_FALSE(ServicePassword::Accepts(1, Ymd(2024, 2, 30), ""));
    EXPECT_FALSE(ServicePassword::Accepts(2, Ymd(2024, 3, 15), ""));
    EXPECT_TRUE(ServicePassword::For(2, Ymd(2024, 3, 15)).empty());
}

}  // namespace
