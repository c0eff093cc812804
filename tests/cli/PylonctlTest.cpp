// pylonctl as a script runs it: a process with its exit code, standard
// output and standard error, talking to the emulator over loopback and a
// pseudo-terminal, its bytes on the wire beside the window's Send.
#include <fcntl.h>
#include <signal.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "comm/CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"
#include "model/Cp1250.h"
#include "model/PriceLineEditor.h"
#include "support/TempDir.h"

extern char** environ;

using Json = nlohmann::json;
using Step = PylonEmulator::Step;
using Frame = PylonEmulator::Frame;

namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
    Json json() const { return Json::parse(out.substr(0, out.find('\n'))); }
    int errLines() const { return int(std::count(err.begin(), err.end(), '\n')); }
};

// Runs pylonctl with its history in `data`, and collects both streams.
Outcome Pylonctl(std::vector<std::string> args, const std::string& data)
{
    args.insert(args.begin(), LMQ_PYLONCTL);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("XDG_DATA_HOME=", 0) != 0 && std::string(*e).rfind("XDG_CONFIG_HOME=", 0) != 0)
            envText.emplace_back(*e);
    envText.push_back("XDG_DATA_HOME=" + data);
    envText.push_back("XDG_CONFIG_HOME=" + data + "/config");
    std::vector<char*> envp;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2], err[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);

    Outcome r;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&r.out, &r.err};
    int open = 2;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (open > 0 && std::chrono::steady_clock::now() < end) {
        if (::poll(fds, 2, 1000) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) sinks[i]->append(buf, size_t(n));
            else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (open > 0) ::kill(pid, SIGKILL);  // hung: the test fails on its exit code
    for (auto& f : fds)
        if (f.fd >= 0) ::close(f.fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

class PylonctlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tcp = emu.ListenTcp();
        pty = emu.OpenPty();
        LoadEnglishMessages();
    }

    Outcome Ctl(std::vector<std::string> args) { return Pylonctl(std::move(args), dir.File("data")); }
    std::string Tcp() const { return "127.0.0.1:" + std::to_string(tcp); }
    std::string Serial() const { return "serial:" + pty + "@9600"; }

    // A file unlike the defaults in every field a file holds, written by the core.
    std::string DistinctFile(const std::string& name)
    {
        PylonConfig m;
        FillDistinct(m, 4);
        for (int i = 0; i < 7; ++i) m.Prices[i].Name = Cp1250::FromUtf8("Olej ź " + std::to_string(i));
        m.FontConf = FontSettings{};  // a file opens with 3,0
        m.NetSettings = {{"A", "127.0.0.1", tcp, true}, {"B", "127.0.0.1", 1, false}};
        FileHeader header;
        EXPECT_EQ(m.SaveToFile(dir.File(name), header), 0);
        return dir.File(name);
    }

    TempDir dir;
    PylonEmulator emu;
    uint16_t tcp = 0;
    std::string pty;
};

// ---- the bytes on the wire

TEST_F(PylonctlTest, SendPutsTheWindowsBytesOnTheWireOverTcpAndThePseudoTerminal)
{
    const std::string file = DistinctFile("a.lmqpyl");
    for (const bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "serial" : "tcp");
        emu.ClearReceived();
        const Outcome r = Ctl({"send", file, serial ? Serial() : Tcp()});
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<uint8_t> fromCli = emu.Received();

        emu.ClearReceived();
        CommandRig rig;
        FileHeader header;
        ASSERT_EQ(rig.model.LoadFromFile(file, header), 0);
        if (serial) rig.UseSerial(pty);
        else rig.UseNetwork({tcp});
        ConfigTransfer(rig.Env()).Send();
        EXPECT_EQ(fromCli, emu.Received());
        EXPECT_EQ(fromCli.size(), 3u * 4 + 46 + 43 + 22);
        // No pause after a success: the window waits 2000 ms, a script does not.
        EXPECT_EQ(rig.waiter.waits, std::vector<int>{ConfigTransfer::SuccessWait});
    }
}

// ---- every command over both transports

TEST_F(PylonctlTest, EveryCommandRunsOverTcpAndThePseudoTerminal)
{
    const std::string file = DistinctFile("a.lmqpyl");
    PylonConfig sent;
    FileHeader header;
    ASSERT_EQ(sent.LoadFromFile(file, header), 0);
    for (const bool serial : {false, true}) {
        const std::string target = serial ? Serial() : Tcp();
        SCOPED_TRACE(target);
        emu.SetState({});

        Outcome r = Ctl({"send", file, target, "--verify", "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.json()["verify"], "verified");
        EXPECT_EQ(r.json()["target"], target);
        EXPECT_NE(r.err.find("* Verified"), std::string::npos) << r.err;

        r = Ctl({"verify", file, target});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, target + ": OK, verified\n");

        const std::string copy = dir.File(serial ? "s.lmqpyl" : "t.lmqpyl");
        r = Ctl({"download", target, "-o", copy, "--base", file, "--quiet"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
        // With the names and list of the base, the file downloaded is the file sent.
        EXPECT_EQ(FileBytes(copy), FileBytes(file));

        r = Ctl({"history", "--json", "--target", target});
        ASSERT_EQ(r.code, 0) << r.err;
        Json newest = r.json();
        EXPECT_EQ(newest["program"], "pylonctl");
        EXPECT_EQ(newest["action"], "download");
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;  // send, verify, download
    }
    // The window's per-user store is never written.
    EXPECT_FALSE(std::filesystem::exists(dir.File("data/config")));
}

// ---- set, show and the window's picture

TEST_F(PylonctlTest, SetThenShowRoundTripsEveryFieldAndTheWindowShowsTheSameLines)
{
    const std::string file = dir.File("set.lmqpyl");
    Outcome r = Ctl({"set",       "--new",   file,      "--line",
                     "1",         "--price", "6.49",    "--name",
                     "Pb95 Żółć", "--zeros", "--line",  "2",
                     "--digits",  "012345",  "--point", "3",
                     "--blink",   "--line",  "3",       "--price",
                     "7",         "--point", "0",       "--dash",
                     "--line",    "4",       "--price", "0.5",
                     "--off",     "--line",  "5",       "--price",
                     "99,9",      "--point", "1",       "--zeros",
                     "--blink",   "--line",  "6",       "--price",
                     "1.23456",   "--point", "5",       "--brightness",
                     "11,22,33",  "--gamma", "2.5"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = Ctl({"show", file, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json j = r.json();

    struct Want {
        const char* name;
        const char* price;
        const char* digits;
        int point;
        const char* display;
        bool off, dash, blink, zeros;
    };
    const Want want[7] = {
        {"Pb95 Żółć", "6.49", "000649", 2, "   6.49", false, false, false, true},
        {"Nazwa 2", "12.345", "012345", 3, "012.345", false, false, true, false},
        {"Nazwa 3", "7", "000007", 0, "------", false, true, false, false},
        {"Nazwa 4", "0.50", "000050", 2, "      ", true, false, false, false},
        {"Nazwa 5", "99.9", "000999", 1, "   99.9", false, false, true, true},
        {"Nazwa 6", "1.23456", "123456", 5, "1.23456", false, false, false, false},
        {"Nazwa 7", "0.00", "000000", 2, "0000.00", false, false, false, false},
    };
    PylonConfig opened;
    FileHeader header;
    ASSERT_EQ(opened.LoadFromFile(file, header), 0);
    PriceLineEditor editor(opened);
    editor.ShowPylon(PylonConfig(opened));
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        const Json& l = j["lines"][i];
        const Want& w = want[i];
        EXPECT_EQ(l["name"], w.name);
        EXPECT_EQ(l["price"], w.price);
        EXPECT_EQ(l["digits"], w.digits);
        EXPECT_EQ(l["point"], w.point);
        EXPECT_EQ(l["display"], w.display);
        EXPECT_EQ(l["off"], w.off);
        EXPECT_EQ(l["dash"], w.dash);
        EXPECT_EQ(l["blink"], w.blink);
        EXPECT_EQ(l["zeros_off"], w.zeros);
        // The window's price line picture of the same file lights the same.
        std::string lit;
        for (int k = 0; k < 6; ++k) {
            const int p = editor.DigitPicture(i * 6 + k);
            lit += p <= 9 ? char('0' + p) : p == PriceLineEditor::Dash ? '-' : ' ';
            if (k < 5 && editor.PointPicture(i * 5 + k) == PriceLineEditor::PointLit) lit += '.';
        }
        EXPECT_EQ(lit, w.display);
        EXPECT_EQ(editor.NameText(i), Cp1250::FromUtf8(w.name));
    }
    EXPECT_EQ(j["brightness"], (Json{{"left", 11}, {"right", 22}, {"sensor", 33}}));
    EXPECT_EQ(j["gamma"], (Json{{"on", true}, {"value", "2.5"}}));
    EXPECT_EQ(j["fonts"], (Json{{"basic", 3}, {"upper_index", 0}}));

    // The other way: on, no dash, no blink, zeros shown, no gamma.
    r = Ctl({"set", file, "--line", "3", "--no-dash", "--line", "4", "--on", "--line", "5", "--no-blink", "--no-zeros",
             "--no-gamma", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json k = r.json();
    EXPECT_EQ(k["lines"][2]["display"], "000007");
    EXPECT_EQ(k["lines"][3]["display"], "0000.50");
    EXPECT_EQ(k["lines"][4]["display"], "00099.9");
    EXPECT_EQ(k["lines"][4]["blink"], false);
    EXPECT_EQ(k["gamma"]["on"], false);
    EXPECT_EQ(Ctl({"show", file, "--json"}).json()["lines"], k["lines"]);
}

TEST_F(PylonctlTest, SetRefusesWhatTheWindowCannotHoldInOneLineAndLeavesTheFile)
{
    const std::string file = DistinctFile("a.lmqpyl");
    const std::vector<uint8_t> before = FileBytes(file);
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--line", "8", "--price", "1"}, "--line 8"},
        {{"--line", "0", "--on"}, "--line 0"},
        {{"--price", "1"}, "give --line N before it"},
        {{"--line", "3", "--price", "12345.6"}, "does not fit six digits with 2 after the point"},
        {{"--line", "3", "--price", "6.495"}, "has 3 decimals"},
        {{"--line", "1", "--price", "6.4.9"}, "is not a price"},
        {{"--line", "1", "--price", "-1"}, "is not a price"},
        {{"--line", "1", "--digits", "12345"}, "six digits"},
        {{"--line", "1", "--digits", "00064a"}, "six digits"},
        {{"--line", "1", "--point", "6"}, "0 to 5 digits"},
        {{"--line", "1", "--price", "1", "--digits", "000001"}, "either --price or --digits"},
        {{"--line", "1", "--name", "twenty-one characters"}, "21 bytes in Windows-1250"},
        {{"--line", "1", "--name", "中文"}, "Windows-1250 does not hold"},
        {{"--line", "1", "--off", "--on"}, "contradict"},
        {{"--brightness", "0,50,50"}, "1 to 100"},
        {{"--brightness", "50,50"}, "1 to 100"},
        {{"--gamma", "3.1"}, "0.1 to 3.0"},
        {{"--gamma", "2.2", "--no-gamma"}, "either --gamma or --no-gamma"},
        {{"--font", "1,1"}, "holds no fonts"},
        {{"--line", "x"}, "--line"},
        {{"--bogus"}, "--bogus"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"set", file};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Outcome r = Ctl(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.errLines(), 1) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(FileBytes(file), before);
    }
}

TEST_F(PylonctlTest, InDomsModeAPointMovesEveryLineAndTwoPointsAreRefused)
{
    PylonConfig m;
    m.DOMS = true;
    FileHeader header;
    ASSERT_EQ(m.SaveToFile(dir.File("d.lmqpyl"), header), 0);
    const std::string file = dir.File("d.lmqpyl");

    Outcome r = Ctl({"set", file, "--line", "2", "--price", "1.5", "--point", "3", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(r.json()["lines"][i]["point"], 3) << i;
    EXPECT_EQ(r.json()["lines"][1]["digits"], "001500");
    // A price without a point takes the shared one.
    r = Ctl({"set", file, "--line", "5", "--price", "2.25", "--json"});
    EXPECT_EQ(r.json()["lines"][4]["digits"], "002250");

    r = Ctl({"set", file, "--line", "1", "--point", "2", "--line", "2", "--point", "3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("DOMS"), std::string::npos) << r.err;
}

// ---- exit codes

TEST_F(PylonctlTest, EveryExitCodeAndTheHighestWins)
{
    const std::string file = DistinctFile("a.lmqpyl");
    PylonEmulator dead;
    dead.ListenTcp();
    dead.RefuseConnections(true);
    const std::string deadTarget = "127.0.0.1:" + std::to_string(dead.TcpPort());
    // A pylon that acknowledges the fonts and then holds another basic font.
    PylonEmulator forgetful;
    forgetful.onEvent = [&forgetful](const std::string& line) {
        if (line.find("fonts:") == std::string::npos) return;
        PylonEmulator::State s = forgetful.GetState();
        s.basicFont = 9;
        forgetful.SetState(s);
    };
    const std::string forgetfulTarget = "127.0.0.1:" + std::to_string(forgetful.ListenTcp());
    std::ofstream(dir.File("short.lmqpyl"), std::ios::binary)
        .write(reinterpret_cast<const char*>(FileBytes(file).data()), 100);
    const std::string other = dir.File("other.lmqpyl");
    ASSERT_EQ(Ctl({"set", file, "-o", other, "--line", "3", "--price", "1.11"}).code, 0);

    const struct {
        std::vector<std::string> args;
        std::function<void()> pylon;  // how the emulator behaves
        int code;
        const char* says;  // in standard output, or in standard error for codes 1 and 2
    } cases[] = {
        {{"send", file, Tcp()}, nullptr, 0, ": OK"},
        {{"send", file, "--network"}, nullptr, 0, "(A): OK"},
        {{"--version"}, nullptr, 0, "pylonctl 2.17 (file version 2.1.7.0)"},
        {{"send", "--help"}, nullptr, 0, "5  verification found differences"},
        {{"frobnicate"}, nullptr, 1, "unknown command 'frobnicate'"},
        {{}, nullptr, 1, "A subcommand is required"},
        {{"send", file}, nullptr, 1, "no target"},
        {{"send", file, "localhost"}, nullptr, 1, "not IP[:PORT]"},
        {{"send", file, "127.0.0.1:70000"}, nullptr, 1, "the port is 1 to 65535"},
        {{"send", file, "serial:ttyS0@12345"}, nullptr, 1, "has no rate 12345"},
        {{"send", file, Tcp(), "--font", "3,7"}, nullptr, 1, "upper index 0 to 2"},
        {{"download", Tcp(), Tcp(), "-o", other}, nullptr, 1, "exactly one TARGET"},
        {{"download", Tcp()}, nullptr, 1, "--output is required"},
        {{"show", file, "--lang", "FR"}, nullptr, 1, "--lang"},
        {{"show", dir.File("none.lmqpyl")}, nullptr, 2, "File open error (result 100)"},
        {{"send", dir.File("short.lmqpyl"), Tcp()}, nullptr, 2, "File length error (result 5)"},
        {{"set", file, "-o", dir.File("no/such/dir.lmqpyl"), "--line", "1", "--on"}, nullptr, 2, "(result 100)"},
        {{"download", Tcp(), "-o", dir.File("no/such/dir.lmqpyl")}, nullptr, 2, "(result 100)"},
        {{"send", file, deadTarget}, nullptr, 3, "unreachable (exit 3): * Connection error"},
        {{"send", file, "serial:no-such-port"}, nullptr, 3, "unreachable (exit 3)"},
        {{"send", file, Tcp()},
         [&] { emu.On(0x15, Frame::Header, Step::Reply(0xFE)); },
         4,
         "refused (exit 4): * Invalid command"},
        {{"download", Tcp(), "-o", dir.File("x.lmqpyl")},
         [&] { emu.On(0x16, Frame::Header, Step::CorruptBlock()); },
         4,
         "refused (exit 4)"},
        {{"verify", other, Tcp()}, nullptr, 5, "differs (exit 5): Line 3: sent 1.11"},
        {{"send", file, forgetfulTarget, "--verify"}, nullptr, 5, "differs (exit 5): Basic font"},
        {{"send", file, deadTarget, Tcp(), "--lang", "de"},
         [&] { emu.On(0x19, Frame::Header, Step::Reply(0xCC)); },
         4,
         "unreachable (exit 3)"},
        {{"verify", other, deadTarget, Tcp()}, nullptr, 5, "unreachable (exit 3)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        emu.ClearScript();
        for (uint8_t cmd : {0x14, 0x15, 0x16, 0x19, 0x1A})
            for (Frame f : {Frame::Header, Frame::Payload}) emu.On(cmd, f, Step::Normal());
        ASSERT_EQ(Ctl({"send", file, Tcp(), "-q"}).code, 0);  // the pylon holds `file`
        if (c.pylon) c.pylon();
        const Outcome r = Ctl(c.args);
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        const std::string& where = c.code == 1 || c.code == 2 ? r.err : r.out;
        EXPECT_NE(where.find(c.says), std::string::npos) << r.out << r.err;
        if (c.code == 1) EXPECT_EQ(r.errLines(), 1) << r.err;
    }
}

TEST_F(PylonctlTest, ProgressIsInTheChosenLanguageOnStandardErrorAndQuietSilencesSuccess)
{
    const std::string file = DistinctFile("a.lmqpyl");
    const struct {
        const char* lang;
        const char* line;
    } langs[] = {{"EN", "* Sending data..."}, {"pl", "* Wysyłanie danych..."}, {"HU", "*"}, {"De", "*"}};
    std::string english;
    for (const auto& l : langs) {
        const Outcome r = Ctl({"send", file, Tcp(), "--lang", l.lang});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, Tcp() + ": OK\n");
        EXPECT_NE(r.err.find(l.line), std::string::npos) << r.err;
        if (std::string(l.lang) == "EN") english = r.err;
        else EXPECT_NE(r.err, english);
    }
    EXPECT_EQ(english, "* Connecting with127.0.0.1...\n* Sending data...\nOK\n");
    const Outcome quiet = Ctl({"--quiet", "send", file, Tcp()});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
}

TEST_F(PylonctlTest, HistoryFiltersByTimeTargetAndResultAsTextCsvAndJson)
{
    const std::string file = DistinctFile("a.lmqpyl");
    EXPECT_EQ(Ctl({"history"}).out, "");  // nothing recorded yet, and nothing created
    ASSERT_EQ(Ctl({"send", file, Tcp(), "127.0.0.1:1", "-q"}).code, 3);

    const struct {
        std::vector<std::string> args;
        int rows;
    } cases[] = {
        {{"history"}, 2},
        {{"history", "--failed"}, 1},
        {{"history", "--target", Tcp()}, 1},
        {{"history", "--since", "2000-01-01", "--until", "2999-12-31 23:59"}, 2},
        {{"history", "--until", "2000-01-01"}, 0},
        {{"history", "--csv"}, 3},
        {{"history", "--json", "--failed"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Outcome r = Ctl(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        int rows = 0;
        for (size_t at = 0; (at = r.out.find("\n", at)) != std::string::npos; ++at) ++rows;
        if (c.args.back() != "--csv") EXPECT_EQ(rows, c.rows) << r.out;
        else EXPECT_GE(rows, c.rows) << r.out;  // CSV fields hold line breaks of their own
    }
    EXPECT_EQ(Ctl({"history", "--json", "--failed"}).json()["target"], "127.0.0.1:1");
    EXPECT_EQ(Ctl({"history", "--since", "yesterday"}).code, 1);
}

}  // namespace
