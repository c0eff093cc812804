// The progress log and the boxes of the pylon commands as an X server with a
// window manager shows them: the pixels of the log read back from the
// server, the stacking order as the window manager reports it.
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "comm/CommandRig.h"
#include "model/K_FILE.h"
#include "model/MemoryRegStore.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/lang/TDM.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TSpeedButton.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string display;  // empty: no X server for these tests
std::string missing;  // what is missing, for the skip

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

// Whether a live X server holds the display's lock file.
bool ServerAlive(const std::string& d)
{
    const std::string lock = "/tmp/.X" + d.substr(1) + "-lock";
    const int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

pid_t Spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

template <typename Pred>
bool WaitFor(Pred done, int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() > end) return false;
        QTest::qWait(10);
    }
    return true;
}

QString RootProperty(const char* name)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(name)});
    p.waitForFinished(2000);
    return QString::fromLatin1(p.readAllStandardOutput());
}

// The managed windows, bottom to top, as the window manager stacks them.
std::vector<WId> Stacking()
{
    std::vector<WId> ids;
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const auto& m : hex.globalMatch(RootProperty("_NET_CLIENT_LIST_STACKING")))
        ids.push_back(WId(m.captured().toULongLong(nullptr, 16)));
    return ids;
}

int StackIndex(const std::vector<WId>& ids, WId id)
{
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id) return int(i);
    return -1;
}

// Lime text pixels in the log's text area, read back from the X server.
int LitTextPixels(TFInfoWindow& log)
{
    const QImage shot = log.screen()->grabWindow(log.winId()).toImage();
    const QRect area = log.REInfoWindow->viewport()->geometry().translated(log.REInfoWindow->pos());
    int lit = 0;
    for (int y = area.top(); y <= area.bottom() && y < shot.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.green() > 128 && c.red() < 96 && c.blue() < 96) ++lit;
        }
    return lit;
}

// The pauses a tenth as long, for real: the log has them to be seen in.
class ShortWaiter : public SleepWaiter {
public:
    void Wait(int ms) override { SleepWaiter::Wait(ms / 10); }
};

class X11Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (display.empty()) GTEST_SKIP() << "no X server for this test: " << missing;
        LoadEnglishMessages();
        dm.Settings.LangId = "EN";
        window = std::make_unique<TFLumarqPylon>(model, file, link, dm);
        info = std::make_unique<TFInfoWindow>(dm);
        window->SetInfoWindow(info.get());
        window->SetWaiter(&waiter);
        window->ComPort.timeouts = QuickSerialTimeouts();
        link.timeout = 300;
        link.firstByteWait = 200;
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), 10000));
    }
    void TearDown() override
    {
        info.reset();
        window.reset();
    }

    MemoryRegStore store;
    TDM dm{&store};
    K_PYLON model;
    K_FILE file;
    K_CONNECTION link{"0.0.0.0", 2101};
    ShortWaiter waiter;
    std::unique_ptr<TFLumarqPylon> window;
    std::unique_ptr<TFInfoWindow> info;
    PylonEmulator emu;
};

TEST_F(X11Transfer, ThreeSendsAndDownloadsInARowPaintTheLogEveryTime)
{
    const uint16_t tcp = emu.ListenTcp();
    const std::string pty = emu.OpenPty();
    struct Pass {
        bool serial;
        bool send;
    } passes[] = {{false, true}, {false, false}, {false, true}, {false, false}, {false, true}, {false, false},
                  {true, true},  {true, false}};
    for (const Pass& p : passes) {
        SCOPED_TRACE(std::string(p.serial ? "serial " : "TCP ") + (p.send ? "Send" : "Download"));
        model.UseCOM = p.serial;
        model.ComName = pty;
        model.ComSpeed = 7;
        model.NetSettings = {{"Pylon", "127.0.0.1", tcp, true}};
        // What the window system shows of the log while the command runs,
        // read every 20 ms by the window's own event loop.
        int most = 0, samples = 0;
        QTimer grab;
        QObject::connect(&grab, &QTimer::timeout, [&] {
            if (!info->isVisible()) return;
            most = std::max(most, LitTextPixels(*info));
            ++samples;
        });
        grab.start(20);
        QTest::mouseClick(p.send ? window->SBSendConfiguration : window->SBDownload, Qt::LeftButton);
        grab.stop();
        std::printf("%s %s: %d lit text pixels at most in %d grabs\n", p.serial ? "serial" : "TCP",
                    p.send ? "Send" : "Download", most, samples);
        EXPECT_GE(samples, 3);
        EXPECT_GT(most, 150) << "the log's lines were not on the screen";
        EXPECT_FALSE(info->isVisible());
        EXPECT_TRUE(info->Lines().contains("OK"));
    }
}

TEST_F(X11Transfer, SerialHangUpShowsItsBoxAboveTheLogAndTheLogsButtonWorksAfterIt)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    model.UseCOM = true;
    model.ComName = name;
    model.ComSpeed = 7;
    // The peer takes the header, then hangs up.
    std::thread peer([master] {
        pollfd p{master, POLLIN, 0};
        ::poll(&p, 1, 3000);
        char buffer[16];
        (void)!::read(master, buffer, sizeof buffer);
        ::close(master);
    });

    QString text;
    int boxIndex = -1, logIndex = -1;
    bool ownedByLog = false;
    // Looks every 20 ms from inside the box's own event loop.
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        // Stacked by the window manager once it has mapped the box.
        const auto ids = Stacking();
        boxIndex = StackIndex(ids, box->winId());
        logIndex = StackIndex(ids, info->winId());
        if (boxIndex < 0 || logIndex < 0) return;
        look.stop();
        text = box->text();
        ownedByLog = box->parentWidget() == info.get();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    look.start(20);
    QTest::mouseClick(window->SBSendConfiguration, Qt::LeftButton);
    peer.join();
    ::close(slave);

    EXPECT_EQ(text, "ReadFile function failed (Error: 5)");
    ASSERT_GE(boxIndex, 0);
    ASSERT_GE(logIndex, 0);
    EXPECT_GT(boxIndex, logIndex) << "the box stands below the progress log";
    EXPECT_TRUE(ownedByLog);
    // The box is gone: the log is up, and its button closes it.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(info->isVisible());
    QTest::mouseClick(info->SBOK, Qt::LeftButton);
    EXPECT_FALSE(info->isVisible());
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The hang-up of a pseudo-terminal must never end the test itself.
    std::signal(SIGHUP, SIG_IGN);
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    pid_t server = -1, manager = -1;
    const char* wanted = std::getenv("LMQ_X_DISPLAY");
    if (!wanted || !*wanted) missing = "LMQ_X_DISPLAY names no display";
    else if (!OnPath("Xvfb")) missing = "Xvfb is not installed";
    else if (!OnPath("openbox")) missing = "openbox is not installed";
    else if (!OnPath("xprop")) missing = "xprop is not installed";
    else if (!listing) {
        const std::string d = wanted;
        const std::string socket = "/tmp/.X11-unix/X" + d.substr(1);
        struct stat st{};
        if (ServerAlive(d)) {
            missing = "display " + d + " is taken";
        } else {
            ::unlink(socket.c_str());  // left by a server that is gone
            server = Spawn({"Xvfb", d, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
            const auto end = Clock::now() + std::chrono::seconds(5);
            while (::stat(socket.c_str(), &st) != 0 && Clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (::stat(socket.c_str(), &st) != 0) missing = "Xvfb did not start on " + d;
            else {
                ::setenv("DISPLAY", d.c_str(), 1);
                manager = Spawn({"openbox", "--sm-disable"});
                display = d;
            }
        }
    }
    if (!display.empty()) ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    else ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        // The window manager is up once it names itself on the root window.
        if (!display.empty() &&
            !WaitFor([] {
                return RootProperty("_NET_SUPPORTING_WM_CHECK").contains(QLatin1String("window id")) &&
                       RootProperty("_NET_CLIENT_LIST_STACKING").contains(QLatin1Char('('));
            }, 5000)) {
            missing = "openbox did not start";
            display.clear();
        }
        result = RUN_ALL_TESTS();
    }
    Stop(manager);
    Stop(server);
    return result;
}
