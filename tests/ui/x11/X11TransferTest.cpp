// The progress log and the boxes of the pylon commands as an X server with a
// window manager shows them: the log's pixels read back from the server, the
// stacking order as the window manager reports it.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "comm/CommandRig.h"
#include "model/FileHeader.h"
#include "model/MemoryRegStore.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/lang/DataModule.h"
#include "ui/main/MainWindow.h"
#include "ui/main/FlatButton.h"
#include "support/Child.h"

extern char** environ;

namespace {

std::string skipReason = "no X server was started";

pid_t Spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&quiet);
    return pid;
}

QString RootProperty(const char* name)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(name)});
    p.waitForFinished(2000);
    return QString::fromLatin1(p.readAllStandardOutput());
}

// Where a window stands among the managed ones, 0 at the bottom; -1: not there.
int StackIndex(WId id)
{
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    int i = 0;
    for (const auto& m : hex.globalMatch(RootProperty("_NET_CLIENT_LIST_STACKING")))
        if (WId(m.captured().toULongLong(nullptr, 16)) == id) return i;
        else ++i;
    return -1;
}

// Lime text pixels in the log's text area, read back from the X server.
int LitTextPixels(ProgressLogWindow& log)
{
    const QImage shot = log.screen()->grabWindow(log.winId()).toImage();
    const QRect area = Child<QPlainTextEdit>(log, "REInfoWindow")->geometry().intersected(shot.rect());
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            lit += c.green() > 128 && c.red() < 96 && c.blue() < 96;
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
        if (!skipReason.empty()) GTEST_SKIP() << skipReason;
        LoadEnglishMessages();
        window.SetInfoWindow(&info);
        window.SetWaiter(&waiter);
        window.SerialLine.timeouts = QuickSerialTimeouts();
        model.ComSpeed = 7;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 10000));
    }

    MemoryRegStore store;
    DataModule dm{&store};
    PylonConfig model;
    FileHeader file;
    PylonLink link{"0.0.0.0", 2101};
    ShortWaiter waiter;
    ProgressLogWindow info{dm};
    MainWindow window{model, file, link, dm};
    PylonEmulator emu;
};

TEST_F(X11Transfer, ThreeSendsAndDownloadsInARowPaintTheLogEveryTime)
{
    model.NetSettings = {{"Pylon", "127.0.0.1", emu.ListenTcp(), true}};
    model.ComName = emu.OpenPty();
    const std::pair<bool, FlatButton*> passes[] = {
        {false, Child<FlatButton>(window, "SBSendConfiguration")}, {false, Child<FlatButton>(window, "SBDownload")},
        {false, Child<FlatButton>(window, "SBSendConfiguration")}, {false, Child<FlatButton>(window, "SBDownload")},
        {false, Child<FlatButton>(window, "SBSendConfiguration")}, {false, Child<FlatButton>(window, "SBDownload")},
        {true, Child<FlatButton>(window, "SBSendConfiguration")},  {true, Child<FlatButton>(window, "SBDownload")}};
    for (const auto& [serial, button] : passes) {
        SCOPED_TRACE(std::string(serial ? "serial " : "TCP ") + button->objectName().toStdString());
        model.UseCOM = serial;
        // What the server shows of the log, read every 20 ms by the window's own event loop.
        int most = 0, grabs = 0;
        QTimer grab;
        QObject::connect(&grab, &QTimer::timeout, [&] {
            if (info.isVisible()) most = std::max(most, LitTextPixels(info)), ++grabs;
        });
        grab.start(20);
        QTest::mouseClick(button, Qt::LeftButton);
        std::printf("%s %s: at most %d lit text pixels in %d grabs\n", serial ? "serial" : "TCP",
                    qPrintable(button->objectName()), most, grabs);
        EXPECT_GE(grabs, 3);
        EXPECT_GT(most, 150) << "the log's lines were not on the screen";
        EXPECT_TRUE(info.Lines().contains("OK"));
    }
}

TEST_F(X11Transfer, SerialHangUpShowsItsBoxAboveTheLogAndTheLogsButtonWorksAfterIt)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    model.UseCOM = true;
    model.ComName = name;
    std::thread peer([master] {  // takes the header, then hangs up
        pollfd p{master, POLLIN, 0};
        ::poll(&p, 1, 3000);
        char header[4];
        (void)!::read(master, header, sizeof header);
        ::close(master);
    });
    QString text;
    int boxIndex = -1, logIndex = -1;
    bool owned = false;
    QTimer look;  // runs inside the box's own event loop
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || (boxIndex = StackIndex(box->winId())) < 0 || (logIndex = StackIndex(info.winId())) < 0) return;
        look.stop();
        text = box->text();
        owned = box->parentWidget() == &info;
        box->accept();
    });
    look.start(20);
    QTest::mouseClick(Child<FlatButton>(window, "SBSendConfiguration"), Qt::LeftButton);
    peer.join();
    ::close(slave);

    EXPECT_EQ(text, "ReadFile function failed (Error: 5)");
    EXPECT_GT(boxIndex, logIndex) << "the box stands below the progress log";
    EXPECT_GE(logIndex, 0);
    EXPECT_TRUE(owned);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(info.isVisible());
    QTest::mouseClick(Child<QToolButton>(info, "SBOK"), Qt::LeftButton);
    EXPECT_FALSE(info.isVisible());
}

}  // namespace

// Starts Xvfb on LMQ_X_DISPLAY and openbox on it, unless only listing.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::signal(SIGHUP, SIG_IGN);  // a hung-up pseudo-terminal never ends the test
    const std::string d = qEnvironmentVariable("LMQ_X_DISPLAY").toStdString();
    const std::string socket = "/tmp/.X11-unix/X" + (d.empty() ? "" : d.substr(1));
    const QByteArray lock =
        QFile(QString::fromStdString("/tmp/.X" + d.substr(d.empty() ? 0 : 1) + "-lock")).open(QIODevice::ReadOnly)
            ? QByteArray("taken")
            : QByteArray();
    pid_t server = -1, manager = -1;
    if (d.empty() || ::testing::GTEST_FLAG(list_tests)) skipReason = "LMQ_X_DISPLAY names no display";
    else if (!lock.isEmpty()) skipReason = "display " + d + " is taken";
    else if ((server = Spawn({"Xvfb", d, "-screen", "0", "1024x768x24", "-nolisten", "tcp"})) < 0)
        skipReason = "Xvfb is not installed";
    else {
        for (int i = 0; i < 250 && ::access(socket.c_str(), F_OK) != 0; ++i) usleep(20000);
        ::setenv("DISPLAY", d.c_str(), 1);
        manager = Spawn({"openbox", "--sm-disable"});
        skipReason = manager < 0 ? "openbox is not installed" : "";
    }
    ::setenv("QT_QPA_PLATFORM", skipReason.empty() ? "xcb" : "offscreen", 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        // The window manager is up once it names itself and lists the windows on the root.
        for (int i = 0; skipReason.empty() && i < 250; ++i) {
            if (RootProperty("_NET_SUPPORTING_WM_CHECK").contains(QLatin1String("window id")) &&
                RootProperty("_NET_CLIENT_LIST_STACKING").contains(QLatin1Char('(')))
                break;
            if (i == 249) skipReason = "openbox did not start (is xprop installed?)";
            QTest::qWait(20);
        }
        result = RUN_ALL_TESTS();
    }
    for (pid_t pid : {manager, server})
        if (pid > 0) ::kill(pid, SIGTERM), ::waitpid(pid, nullptr, 0);
    return result;
}
