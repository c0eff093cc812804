// What the commands leave in the history, against the emulator: one record
// per pylon and command with its steps, and a history that cannot be
// written or is damaged never stopping a Send.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "comm/CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"
#include "comm/ServiceCommands.h"
#include "history/History.h"
#include "history/HistoryRecorder.h"
#include "support/TempDir.h"

using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;

namespace {

using StepList = std::vector<std::pair<std::string, int>>;

StepList StepsOf(const HistoryRecord& r)
{
    StepList steps;
    for (const HistoryStep& s : r.steps) steps.emplace_back(s.name, s.code);
    return steps;
}

const StepList SendSteps = {{"connect", 0},         {"header 20", 170}, {"digits", 170}, {"header 21", 170},
                            {"line settings", 170}, {"header 25", 170}, {"fonts", 170}};

// Oldest first.
std::vector<HistoryRecord> All(History& h)
{
    std::vector<HistoryRecord> rows = h.Query({}, 1000);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

StepList operator+(StepList a, const StepList& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

int Count(const Lines& lines, const std::string& line) { return int(std::count(lines.begin(), lines.end(), line)); }

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        good.ListenTcp();
        crc.ListenTcp();
        dead.ListenTcp();
        dead.RefuseConnections(true);
        FillDistinct(rig.model, 3);
    }

    PylonCommandEnv Env()
    {
        PylonCommandEnv env = rig.Env();
        env.recorder = &recorder;
        return env;
    }

    TempDir dir;
    History history{dir.File("share/Lumarq Technology/Pylon2/history.sqlite")};
    CommandRig rig;
    HistoryRecorder recorder{history, "LumarqPylon", "2.17", &rig.log};
    PylonEmulator good, crc, dead;
};

}  // namespace

TEST_F(RecordingTest, ASendToThreePylonsRecordsEachWithItsStepsAndTheSevenLinesAsShown)
{
    crc.On(Frames::CmdSendLineSettings, Frame::Payload, Step::Reply(Frames::ReplyCrcError));
    rig.UseNetwork({dead.TcpPort(), crc.TcpPort(), good.TcpPort()});
    const int64_t before = recorder.utcClock();
    const TransferResult result = ConfigTransfer(Env()).Send();
    const int64_t after = recorder.utcClock();
    ASSERT_EQ(result.pylons.size(), 3u);

    const std::vector<HistoryRecord> rows = All(history);
    ASSERT_EQ(rows.size(), 3u);
    struct Want {
        uint16_t port;
        bool ok;
        StepList steps;
    };
    const Want want[] = {
        {dead.TcpPort(), false, {{"connect", 2}}},
        {crc.TcpPort(), false, {SendSteps.begin(), SendSteps.begin() + 4}},
        {good.TcpPort(), true, SendSteps},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const HistoryRecord& r = rows[i];
        EXPECT_EQ(r.action, "send");
        EXPECT_EQ(r.pylon, "Pylon " + std::to_string(i + 1));
        EXPECT_EQ(r.target, "127.0.0.1:" + std::to_string(want[i].port));
        EXPECT_EQ(r.ok, want[i].ok);
        StepList steps = want[i].steps;
        if (i == 1) steps.push_back({"line settings", 204});
        EXPECT_EQ(StepsOf(r), steps);
        EXPECT_EQ(r.steps.back().message, want[i].ok ? "OK" : i == 1 ? "* CRC error" : "* Connection error");
        EXPECT_EQ(r.program, "LumarqPylon");
        EXPECT_EQ(r.version, "2.17");
        EXPECT_FALSE(r.user.empty());
        EXPECT_FALSE(r.host.empty());
        EXPECT_GE(r.utcMs, before - r.elapsedMs);
        EXPECT_LE(r.utcMs, after);
        EXPECT_EQ(r.verified, -1);
        // The configuration sent, as the picture shows it (FillDistinct(3)).
        ASSERT_EQ(r.lines.size(), 7u);
        EXPECT_EQ(r.lines[0], (HistoryLine{"Nazwa 1", "345.678", "blinking, zeros off"}));
        EXPECT_EQ(r.lines[1], (HistoryLine{"Nazwa 2", "------", "dash"}));
        EXPECT_EQ(r.lines[6], (HistoryLine{"Nazwa 7", "", "blinking, zeros off, off"}));
        EXPECT_EQ(r.brightness, "left 53%, right 63%, sensor 73%");
        EXPECT_EQ(r.gamma, "2.1");
        EXPECT_EQ(r.fonts, "basic 4, upper index 2");
    }
    EXPECT_EQ(Count(rig.log.lines, Msg[MsgHistoryNotWritten]), 0);
}

TEST_F(RecordingTest, EveryCommandRecordsOneRowPerPylonWithItsActionParametersAndSteps)
{
    struct Case {
        const char* name;
        std::function<void()> run;
        std::string action, detail, gamma;
        bool ok;
        int verified;
        StepList steps;
    };
    PylonEmulator serial;
    const std::string pty = serial.OpenPty();
    const Case cases[] = {
        {"geometry",
         [&] { ServiceCommands(Env()).SendSettings(6, 5); },
         "settings",
         "prices 7, digits 6",
         "",
         true,
         -1,
         {{"connect", 0}, {"header 23", 170}, {"settings", 170}}},
        {"display test",
         [&] { ServiceCommands(Env()).RunTest(1); },
         "test",
         "test 1",
         "",
         true,
         -1,
         {{"connect", 0}, {"header 29", 170}, {"test code", 170}}},
        {"send, verified",
         [&] {
             ConfigTransfer(Env(), {true, {}}).Send();
         },
         "send", "", "2.1", true, 1,
         SendSteps + StepList{{"header 22", 170}, {"price block", 0}, {"header 26", 170}, {"font block", 0}}},
        {"send, not read back",
         [&] {
             good.On(Frames::CmdReadPriceBlock, Frame::Header, Step::Reply(Frames::ReplyInvalidCommand));
             ConfigTransfer(Env(), {true, {}}).Send();
             good.ClearScript();
         },
         "send", "", "2.1", false, 2, SendSteps + StepList{{"header 22", 254}}},
        {"download",
         [&] { ConfigTransfer(Env()).Download(); },
         "download",
         "",
         "",
         true,
         -1,
         {{"connect", 0}, {"header 22", 170}, {"price block", 0}, {"header 26", 170}, {"font block", 0}}},
    };
    rig.UseNetwork({good.TcpPort()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int64_t count = history.Count({});
        c.run();
        ASSERT_EQ(history.Count({}), count + 1);
        const HistoryRecord r = history.Query({}, 1)[0];
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.detail, c.detail);
        EXPECT_EQ(r.target, "127.0.0.1:" + std::to_string(good.TcpPort()));
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.verified, c.verified);
        EXPECT_EQ(r.differences.empty(), c.verified != 2);
        EXPECT_EQ(r.gamma, c.gamma);
        EXPECT_EQ(r.lines.size(), c.action == "send" ? 7u : 0u);
        EXPECT_EQ(StepsOf(r), c.steps);
    }

    // The serial line: its port and rate are the target; a missing port is a failed record.
    rig.UseSerial(pty);
    ConfigTransfer(Env()).Send();
    HistoryRecord r = history.Query({}, 1)[0];
    EXPECT_EQ(r.target, pty + " 9600");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(StepsOf(r), SendSteps);
    rig.UseSerial("no-such-port");
    ConfigTransfer(Env()).Send();
    r = history.Query({}, 1)[0];
    EXPECT_FALSE(r.ok);
    ASSERT_FALSE(r.steps.empty());
    EXPECT_EQ(r.steps.back().name, "port");
    EXPECT_EQ(r.steps.back().message, rig.errors.back());
}

TEST_F(RecordingTest, AHistoryThatCannotBeWrittenOrIsDamagedNeverStopsASend)
{
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> spoil;
        int pylons;
        bool written;
    };
    sqlite3* locker = nullptr;
    std::vector<Case> cases = {
        {"its folder is a file",
         [](const std::string& path) {
             const std::string folder = std::filesystem::path(path).parent_path();
             std::filesystem::create_directories(std::filesystem::path(folder).parent_path());
             std::ofstream(folder) << "x";
         },
         2, false},
        {"another program holds it locked",
         [&locker](const std::string& path) {
             History(path).Open();
             sqlite3_open(path.c_str(), &locker);
             sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
         },
         1, false},
        {"damaged",
         [](const std::string& path) {
             std::filesystem::create_directories(std::filesystem::path(path).parent_path());
             std::ofstream(path) << "garbage, not a database";
         },
         2, true},
    };
    if (::geteuid() != 0) {
        // The superuser writes read-only files: the lock stands for this case then.
        cases.push_back({"read-only",
                         [](const std::string& path) {
                             History(path).Open();
                             ::chmod(path.c_str(), 0444);
                         },
                         2, false});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir place;
        History h(place.File("data/Pylon2/history.sqlite"));
        c.spoil(h.Path());
        HistoryRecorder rec(h, "LumarqPylon", "2.17", &rig.log);
        std::vector<uint16_t> ports(size_t(c.pylons), good.TcpPort());
        rig.UseNetwork(ports);
        good.ClearReceived();
        PylonCommandEnv env = rig.Env();
        env.recorder = &rec;
        const TransferResult result = ConfigTransfer(env).Send();

        EXPECT_TRUE(result.AllSucceeded());
        EXPECT_EQ(good.ReceivedFrames().size(), size_t(6 * c.pylons));
        EXPECT_FALSE(rig.log.shown);
        EXPECT_EQ(Count(rig.log.lines, Msg[MsgHistoryNotWritten]), c.written ? 0 : 1);
        EXPECT_EQ(rec.Failures(), c.written ? 0 : c.pylons);
        if (c.written) {
            EXPECT_EQ(h.MovedAside().rfind(h.Path() + ".damaged-", 0), 0u);
            EXPECT_EQ(Count(rig.log.lines, Msg[MsgHistoryMovedAside] + " " + h.MovedAside()), 1);
            EXPECT_TRUE(std::filesystem::exists(h.MovedAside()));
            EXPECT_EQ(h.Count({}), c.pylons);
        }
        if (locker) {
            sqlite3_close(locker);
            locker = nullptr;
        }
    }
}
