// The face against the program: the sample configuration sent by the Send
// sequence shows on the face as on the program's own price line picture,
// and the emulator program draws it into its PNG and its terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QImage>

#include "app/SampleConfiguration.h"
#include "comm/CommandRig.h"
#include "comm/ConfigTransfer.h"
#include "comm/Frames.h"
#include "emulator/face/FaceImage.h"
#include "emulator/face/FaceText.h"
#include "emulator/face/FaceWindow.h"
#include "model/PriceLineEditor.h"
#include "support/TempDir.h"
#include "ui/main/PylonPictures.h"

extern char** environ;

using namespace face;
using Clock = std::chrono::steady_clock;

namespace {

bool Lit(QRgb c) { return qRed(c) > 128; }

PylonEmulator::State SampleState()
{
    PylonConfig m;
    sample::Fill(m);
    PylonEmulator::State s;
    const Frames::PriceBlock block = Frames::MakePriceBlock(m);
    std::copy(block.begin(), block.begin() + 81, s.price.begin());
    return s;
}

// The emulator program with its standard output on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> args)
    {
        args.insert(args.begin(), LMQ_EMULATOR);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        fd_ = out[0];
    }
    ~Program()
    {
        if (pid_ > 0) Stop();
        ::close(fd_);
    }
    // Reads until `done` holds for what was read, the output ends or 5 s pass.
    bool ReadUntil(const std::function<bool(const std::string&)>& done)
    {
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (!done(output)) {
            const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
            pollfd p{fd_, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, left) <= 0) return false;
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return done(output);
            output.append(buf, size_t(n));
        }
        return true;
    }
    uint16_t Port()
    {
        const std::string key = "listening on 127.0.0.1 port ";
        EXPECT_TRUE(ReadUntil([&](const std::string& s) {
            const size_t at = s.find(key);
            return at != std::string::npos && s.find(' ', at + key.size()) != std::string::npos;
        }));
        return uint16_t(std::stoi(output.substr(output.find(key) + key.size())));
    }
    // The exit status; SIGTERM first when `terminate`.
    int Stop(bool terminate = true)
    {
        if (terminate) ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string output;

private:
    pid_t pid_ = -1;
    int fd_ = -1;
};

void SendSample(CommandRig& rig, uint16_t port)
{
    sample::Fill(rig.model);
    rig.UseNetwork({port});
    ConfigTransfer(rig.Env()).Send();
    ASSERT_FALSE(rig.log.lines.empty());
    ASSERT_EQ(rig.log.lines.back(), "OK");
}

}  // namespace

TEST(FaceAndProgram, SentSampleLightsWhatTheProgramsPictureShows)
{
    PylonEmulator emu;
    const uint16_t port = emu.ListenTcp();
    const uint64_t before = emu.Changes();
    CommandRig rig;
    SendSample(rig, port);
    EXPECT_EQ(emu.Changes() - before, 3u) << "digits, line settings and fonts";

    // The program's picture of the same lines.
    PylonConfig shown;
    sample::Fill(shown);
    PriceLineEditor editor(shown);
    editor.ShowPylon(shown);

    // The picture does not blink: the face is compared in its lit half.
    const Face f = ComputeFace(emu.GetState());
    const QImage image = RenderFace(f);
    for (int L = 0; L < 7; ++L) {
        for (int k = 0; k < 6; ++k) {
            const QImage program = PylonPictures::DrawDigit(editor.DigitPicture(6 * L + k));
            for (int s = 0; s < 7; ++s) {
                const QPointF at = ImageLayout::SegmentCentre(s);
                const bool programLit = Lit(program.pixel(at.toPoint()));
                const bool faceLit = Lit(image.pixel((ImageLayout::CellRect(0, L, k).topLeft() + at).toPoint()));
                EXPECT_EQ(faceLit, programLit) << "line " << L + 1 << " cell " << k + 1 << " segment " << s;
            }
            if (k == 5) continue;
            // The program's point picture has its dot 5.5 right and 42.5 down.
            const QImage point = PylonPictures::DrawDigit(editor.PointPicture(5 * L + k));
            EXPECT_EQ(Lit(image.pixel(ImageLayout::PointCentre(0, L, k).toPoint())), Lit(point.pixel(5, 42)))
                << "line " << L + 1 << " point after cell " << k + 1;
        }
    }
    EXPECT_TRUE(f.line[3].blinking) << "LPG blinks on the pylon";
}

TEST(FaceAndProgram, ABlockThePylonRefusesChangesNothing)
{
    PylonEmulator emu;
    const uint16_t port = emu.ListenTcp();
    emu.On(Frames::CmdSendLineSettings, PylonEmulator::Frame::Payload, PylonEmulator::Step::Reply(0xCC));
    const uint64_t before = emu.Changes();
    CommandRig rig;
    sample::Fill(rig.model);
    rig.UseNetwork({port});
    ConfigTransfer(rig.Env()).Send();
    EXPECT_EQ(emu.Changes() - before, 1u) << "only the digits";
    const Face f = ComputeFace(emu.GetState());
    EXPECT_EQ(f.line[4].cells[0].segments, DigitSegments(0)) << "the dash of line 5 never arrived";
}

TEST(FaceAndProgram, OptionsAndExitCodes)
{
    const struct {
        std::vector<std::string> args;
        int status;
        const char* output;
    } cases[] = {
        {{"--help"}, 0, "usage: pylon-emulator"},
        {{"-h"}, 0, "--face-png FILE"},
        {{"--version"}, 0, "pylon-emulator 2.17\n"},
        {{"--bogus"}, 1, ""},
        {{"--tcp"}, 1, ""},
        {{"--tcp", "70000"}, 1, ""},
        {{"--tcp", "12x"}, 1, ""},
        {{"--face-png"}, 1, ""},
        {{"--tcp", "0", "--face-png", "/no/such/folder/face.png"}, 1, ""},
    };
    for (const auto& c : cases) {
        Program p(c.args);
        p.ReadUntil([](const std::string&) { return false; });
        EXPECT_EQ(p.Stop(false), c.status) << c.args[0];
        EXPECT_NE(p.output.find(c.output), std::string::npos) << c.args[0] << ": " << p.output;
    }
}

TEST(FaceAndProgram, ProgramRedrawsItsPngAndTerminalAfterASend)
{
    TempDir dir;
    const std::string png = dir.File("face.png");
    ::setenv("NO_COLOR", "1", 1);
    Program p({"--tcp", "0", "--face-png", png, "--face-text"});
    const uint16_t port = p.Port();
    CommandRig rig;
    SendSample(rig, port);

    const QImage expected = RenderFace(ComputeFace(SampleState()));
    const auto end = Clock::now() + std::chrono::seconds(5);
    QImage written;
    while (Clock::now() < end) {
        written = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
        if (written == expected) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(written, expected) << "the PNG shows the sample";

    // The terminal: the rows of the first line, drawn in place.
    const auto rows = FaceRows(ComputeFace(SampleState()), false);
    const std::vector<std::string> line1(rows.begin() + TextLayout::Row(0), rows.begin() + TextLayout::Row(1));
    EXPECT_TRUE(p.ReadUntil([&](const std::string& out) {
        for (const std::string& row : line1)
            if (out.find("\n" + row + "\x1b[K\n") == std::string::npos) return false;
        return true;
    })) << p.output;
    EXPECT_EQ(p.output.rfind("\x1b[2J", 0), 0u) << "the screen is cleared once, at the start";
    EXPECT_EQ(p.Stop(), 0);
}

TEST(FaceAndProgram, WindowDrawsTheStateOnceItChanged)
{
    PylonEmulator emu;
    FaceWindow window(emu);
    EXPECT_EQ(window.Shown(), ComputeFace(emu.GetState()));
    emu.SetState(SampleState());
    window.Poll();
    EXPECT_EQ(window.Shown(), ComputeFace(SampleState()));
    const QImage drawn = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = RenderFace(window.Shown().InPhase(window.BlinkLit()));
    EXPECT_EQ(drawn.copy(expected.rect()), expected);
    EXPECT_EQ(window.windowTitle(), "Pylon emulator - face");
}
