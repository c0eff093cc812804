// Cancelling a running command from another thread, replies that arrive in
// pieces, and replies whose two bytes differ, against the emulator.
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

#include "CommandRig.h"
#include "comm/Cancel.h"
#include "comm/ConfigTransfer.h"
#include "comm/RunCommand.h"
#include "comm/ServiceCommands.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;
using Clock = std::chrono::steady_clock;

namespace {

enum class Command { Send, ServiceTest };

void RunOne(PylonCommandEnv& env, Command c)
{
    switch (c) {
    case Command::Send: ConfigTransfer(env).Send(); break;
    case Command::ServiceTest: ServiceCommands(env).RunTest(ServiceCommands::AllLedsOn); break;
    }
}

struct World {
    explicit World(bool serial)
    {
        // The program's own time-outs: a cancel has to beat them by far.
        rig.link.timeout = 2000;
        rig.link.firstByteWait = 1000;
        rig.port.timeouts = SerialPort::Timeouts{};
        if (serial) rig.UseSerial(emu.OpenPty());
        else rig.UseNetwork({emu.ListenTcp()});
    }
    PylonCommandEnv Env(Waiter& waiter)
    {
        const PylonCommandEnv e = rig.Env();
        return {e.model, e.link, e.port, e.log, waiter, e.warningBox, e.errorBox, e.showPylon};
    }
    PylonEmulator emu;
    CommandRig rig;
};

TEST(Cancel, EndsTheCurrentWaitAtOnceClosesTheLinkAndLeavesTheLogOpen)
{
    struct Case {
        const char* name;
        bool serial;
        Command command;
        Step step;     // what the pylon does with the first header
        bool atPause;  // cancelled in the pause after "OK"
    } cases[] = {
        {"silent pylon, TCP", false, Command::Send, Step::Silence(), false},
        {"trickling reply, TCP", false, Command::Send, Step::Trickle(600), false},
        {"pause after OK, TCP", false, Command::Send, Step::Normal(), true},
        {"silent pylon, serial", true, Command::Send, Step::Silence(), false},
        {"trickling reply, serial service test", true, Command::ServiceTest, Step::Trickle(600), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w(c.serial);
        w.emu.Script({c.step});
        SleepWaiter sleeper;
        PylonCommandEnv env = w.Env(sleeper);
        CancelToken token;
        bool completed = true;
        std::thread worker([&] { completed = RunCommand(env, token, [&] { RunOne(env, c.command); }); });
        // Into the wait: the pylon has the header, or the log has "OK".
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::milliseconds(800) &&
               (c.atPause ? w.emu.Received().size() < 4u * 3 + 46 + 43 + 22 : w.emu.Received().size() < 4u))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        const auto cancelled = Clock::now();
        token.Cancel();
        worker.join();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - cancelled).count();

        EXPECT_FALSE(completed);
        EXPECT_LT(ms, 100);
        EXPECT_FALSE(w.rig.link.IsConnected());
        EXPECT_FALSE(w.rig.port.Connected());
        EXPECT_TRUE(w.rig.log.shown);
        Lines tail{"* Transfer cancelled"};
        if (c.serial) tail = tail + PortLines(w.rig.port.Port(), 2, 3);
        const auto& lines = w.rig.log.lines;
        ASSERT_GE(lines.size(), tail.size());
        EXPECT_EQ(Lines(std::vector<std::string>(lines.end() - long(tail.size()), lines.end())), tail);
        if (c.atPause) EXPECT_EQ(lines[lines.size() - 2], "OK");
        EXPECT_TRUE(w.rig.errors.empty());
    }
}

TEST(Cancel, ACommandNotCancelledRunsAsWithoutAToken)
{
    World w(false);
    PylonCommandEnv env = w.rig.Env();
    CancelToken token;
    EXPECT_TRUE(RunCommand(env, token, [&] { RunOne(env, Command::Send); }));
    EXPECT_EQ(w.rig.log.lines, Lines({"* Connecting with127.0.0.1...", "* Sending data...", "OK"}));
    EXPECT_EQ(w.rig.waiter.waits, std::vector<int>{2000});
    EXPECT_EQ(CancelToken::Current(), nullptr);
}

TEST(Replies, InPiecesWithinTheTimeOutAreCollectedOnBothLines)
{
    for (bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "serial" : "TCP");
        World w(serial);
        // Every reply of the Send comes one byte at a time, 150 ms apart.
        for (uint8_t command : {0x14, 0x15, 0x19}) {
            w.emu.On(command, Frame::Header, Step::Trickle(150));
            w.emu.On(command, Frame::Payload, Step::Trickle(150));
        }
        PylonCommandEnv env = w.rig.Env();
        RunOne(env, Command::Send);
        ASSERT_FALSE(w.rig.log.lines.empty());
        EXPECT_EQ(w.rig.log.lines.back(), serial ? "Closed port " + w.rig.port.Port() : "OK");
        EXPECT_EQ(w.rig.waiter.waits, std::vector<int>{2000});
    }
}

TEST(Replies, UnequalBytesAreAReadErrorOnEveryPathTheyEnd)
{
    struct Case {
        const char* name;
        bool serial;
        uint8_t command;
        Frame frame;
        std::function<void(PylonCommandEnv&)> run;
        Lines lines;  // without the port's lines
    } cases[] = {
        {"serial download",
         true,
         0x16,
         Frame::Header,
         [](PylonCommandEnv& e) { ConfigTransfer(e).Download(); },
         {"* Sending data...", "* Reading data error"}},
        {"serial settings",
         true,
         0x17,
         Frame::Header,
         [](PylonCommandEnv& e) { ServiceCommands(e).SendSettings(3, 2); },
         {"* Sending data...", "* Reading data error"}},
        {"network settings",
         false,
         0x17,
         Frame::Header,
         [](PylonCommandEnv& e) { ServiceCommands(e).SendSettings(3, 2); },
         {"* Connecting with127.0.0.1...", "* Sending data...", "* Reading data error"}},
        {"network test",
         false,
         0x1D,
         Frame::Payload,
         [](PylonCommandEnv& e) { ServiceCommands(e).RunTest(ServiceCommands::ShowFirmware); },
         {"* Connecting with127.0.0.1...", "* Sending data...", "* Reading data error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w(c.serial);
        w.emu.On(c.command, c.frame, Step::ReplyBytes(0xAA, 0x55));
        PylonCommandEnv env = w.rig.Env();
        c.run(env);
        const std::string port = w.rig.port.Port();
        EXPECT_EQ(w.rig.log.lines, c.serial ? PortLines(port, 0, 1) + c.lines + PortLines(port, 2, 3) : c.lines);
        EXPECT_TRUE(w.rig.log.shown);
    }
}

}  // namespace
