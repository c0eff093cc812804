// The main window's Send, Download and service window commands, driven the
// way the operator drives them: toolbar buttons, F5 and the hidden shortcuts.
#include <chrono>
#include <optional>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "history/History.h"
#include "support/TempDir.h"

#include "comm/CommandRig.h"
#include "ui/comm/ProgressLogWindow.h"
#include "ui/comm/ServiceWindow.h"
#include "ui/comm/TransferRunner.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/DataModule.h"
#include "model/FileHeader.h"
#include "model/MemoryRegStore.h"
#include "ui/main/MainWindow.h"
#include "ui/main/FlatButton.h"
#include "support/Child.h"

namespace {

class MainWindowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm.Settings.LangId = "EN";
        window = std::make_unique<MainWindow>(model, file, link, dm);
        info = std::make_unique<ProgressLogWindow>(dm);
        window->SetInfoWindow(info.get());
        window->SetWaiter(&waiter);
        window->SerialLine.timeouts = QuickSerialTimeouts();
        link.timeout = 300;
        link.firstByteWait = 200;
        window->show();
        QApplication::setActiveWindow(window.get());
        LoadEnglishMessages();
        tcpPort = emu.ListenTcp();
    }
    void TearDown() override
    {
        window.reset();
        info.reset();
    }

    void UseNetwork()
    {
        model.UseCOM = false;
        model.NetSettings = {{"Pylon", "127.0.0.1", tcpPort, true}};
    }
    std::string UseSerial()
    {
        const std::string pty = emu.OpenPty();
        model.UseCOM = true;
        model.ComName = pty;
        model.ComSpeed = 7;
        return pty;
    }

    MemoryRegStore store;
    DataModule dm{&store};
    PylonConfig model;
    FileHeader file;
    PylonLink link{"0.0.0.0", 2101};
    RecordingWaiter waiter;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<ProgressLogWindow> info;
    PylonEmulator emu;
    uint16_t tcpPort = 0;
    std::vector<MessageBoxCall> boxes;
    MessageBoxSeam seam{[this](const MessageBoxCall& c) { boxes.push_back(c); }};
};

TEST_F(MainWindowCommandsTest, SendButtonPutsTheEditedPricesOnThePylon)
{
    UseNetwork();
    TempDir place;
    window->UseHistory(place.File("history.sqlite"));
    // The operator raises the first digit of line 1 three times.
    for (int i = 0; i < 3; ++i) QTest::mouseClick(window->DigitButtons[0].first, Qt::LeftButton);
    ASSERT_EQ(model.Prices[0].Price[0], 3);
    QStringList atWait;
    waiter.onWait = [&](int) {
        atWait = info->Lines();
        EXPECT_TRUE(info->isVisible());
    };
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBSendConfiguration"), Qt::LeftButton);

    PylonConfig held;
    emu.ToModel(held);
    EXPECT_EQ(held.Prices[0].Price[0], 3);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(held.Prices[i].Price, model.Prices[i].Price);
    EXPECT_EQ(atWait, QStringList({"* Connecting with127.0.0.1...", "* Sending data...", "OK"}));
    EXPECT_EQ(waiter.waits, std::vector<int>{2000});
    EXPECT_FALSE(info->isVisible());

    // The send history holds the pylon's record with the prices as sent.
    const std::vector<HistoryRecord> records = window->SendHistory().Query({}, 10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, "LumarqPylon");
    EXPECT_EQ(records[0].target, "127.0.0.1:" + std::to_string(tcpPort));
    EXPECT_TRUE(records[0].ok);
    ASSERT_EQ(records[0].lines.size(), 7u);
    EXPECT_EQ(records[0].lines[0].price, ShownPrice(model, 0));
    EXPECT_EQ(records[0].lines[0].price.front(), '3');
}

TEST_F(MainWindowCommandsTest, F5SendsOverTheSerialPortWithItsLogLines)
{
    const QString pty = QString::fromStdString(UseSerial());
    QStringList atWait;
    waiter.onWait = [&](int) { atWait = info->Lines(); };
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(atWait, QStringList({"Opening port " + pty, "Opened port " + pty, "* Sending data...", "OK"}));
    EXPECT_EQ(emu.Received().size(), 4u * 3 + 46 + 43 + 22);
    EXPECT_FALSE(window->SerialLine.Connected());
}

TEST_F(MainWindowCommandsTest, VerifyAfterSendIsACheckableItemKeptForTheNextStart)
{
    MemoryRegStore userStore;
    PylonConfig bound(&userStore);
    for (bool expected : {false, true}) {
        MainWindow w(bound, file, link, dm);
        EXPECT_EQ(Child<QAction>(w, "Weryfikujpowysaniu1")->isChecked(), expected)
            << "off until the operator turns it on";
        if (!expected) Child<QAction>(w, "Weryfikujpowysaniu1")->trigger();
    }
    // Checked, F5 reads the pylon back and the log says so.
    UseNetwork();
    Child<QAction>(*window, "Weryfikujpowysaniu1")->trigger();
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(info->Lines().back(), "* Verified: the pylon holds what was sent");
    EXPECT_EQ(emu.Received().size(), 4u * 5 + 46 + 43 + 22);
    EXPECT_EQ(window->LastTransfer.pylons.at(0).verify, VerifyOutcome::Verified);
}

TEST_F(MainWindowCommandsTest, DownloadButtonShowsWhatThePylonHolds)
{
    PylonConfig onPylon;
    FillDistinct(onPylon, 4);
    emu.FromModel(onPylon);
    UseNetwork();
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBDownload"), Qt::LeftButton);

    for (int i = 0; i < 7; ++i) EXPECT_EQ(model.Prices[i].Price, onPylon.Prices[i].Price);
    EXPECT_EQ(model.FontConf, onPylon.FontConf);
    // The picture shows the downloaded digits.
    for (int d = 0; d < 42; ++d) EXPECT_EQ(window->Editor().DigitTag(d), onPylon.Prices[d / 6].Price[d % 6]) << d;
    EXPECT_EQ(info->Lines(), QStringList({"* Connecting with127.0.0.1...", "* Data reading...", "OK"}));
}

TEST_F(MainWindowCommandsTest, EmptyNetworkListWarnsForSendAndDownload)
{
    model.UseCOM = false;
    model.NetSettings.clear();
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBSendConfiguration"), Qt::LeftButton);
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBDownload"), Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& b : boxes) {
        EXPECT_EQ(b.text, "* Undefined network settings");
        EXPECT_EQ(b.style & 0xFFFF, 48);
        EXPECT_EQ(b.caption, "Lumarq Pylon");
    }
    EXPECT_FALSE(info->isVisible());
}

TEST_F(MainWindowCommandsTest, MissingSerialPortShowsTheErrorBoxAndTheProgramGoesOn)
{
    model.UseCOM = true;
    model.ComName = "ttyLMQ-absent";
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBSendConfiguration"), Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageBoxCall::Kind::Error);
    EXPECT_EQ(boxes[0].text, "Unable to open com port (Error: 2)");
    EXPECT_EQ(info->Lines(), QStringList({"Opening port ttyLMQ-absent"}));

    UseSerial();
    QTest::mouseClick(Child<QAbstractButton>(*window, "SBDownload"), Qt::LeftButton);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(info->isVisible());
}

TEST_F(MainWindowCommandsTest, PortLinesAreSilentWhileTheWindowIsDestroyed)
{
    const std::string pty = UseSerial();
    info->ShowLog();
    window->SerialLine.SetPort(pty);
    window->SerialLine.Open();
    EXPECT_EQ(info->Lines().size(), 2);
    window.reset();
    EXPECT_EQ(info->Lines().size(), 2);
}

TEST_F(MainWindowCommandsTest, HiddenShortcutsOpenTheServiceWindowModallyWithTheirMode)
{
    struct {
        QKeySequence keys;
        int mode;
    } cases[] = {{QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), 0},
                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11), 1}};
    for (const auto& c : cases) {
        QPointer<ServiceWindow> seen;
        int mode = -1;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<ServiceWindow*>(QApplication::activeModalWidget());
            if (!seen) return;
            mode = seen->PasswordMode();
            modal = seen->isModal();
            seen->close();
        });
        QApplication::setActiveWindow(window.get());
        QTest::keySequence(window.get(), c.keys);
        QCoreApplication::processEvents();
        EXPECT_EQ(mode, c.mode);
        EXPECT_TRUE(modal);
        EXPECT_TRUE(seen.isNull()) << "the service window is destroyed when it closes";
    }
}

}  // namespace

namespace {

// The command's worker thread, found by its name.
bool WorkerAlive()
{
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "pylon-command") return true;
    }
    return false;
}

// The moment of the first paint a widget gets after `since` was set.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && armed && !painted) painted = Clock::now();
        return false;
    }
    using Clock = std::chrono::steady_clock;
    bool armed = false;
    std::optional<Clock::time_point> painted;
};

long long MsBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

TEST_F(MainWindowCommandsTest, WhileAPylonTricklesTheWindowPaintsRefusesInputAndCloseCancels)
{
    using Clock = std::chrono::steady_clock;
    for (bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "serial" : "TCP");
        // The program's own time-outs; the pylon answers one byte in 800 ms.
        link.timeout = 2000;
        link.firstByteWait = 1000;
        window->SerialLine.timeouts = SerialPort::Timeouts{};
        if (serial) UseSerial();
        else UseNetwork();
        emu.Script({PylonEmulator::Step::Trickle(800)});
        const uint8_t digit = model.Prices[0].Price[0];

        PaintClock paints(window.get());
        Clock::time_point asked, closed;
        bool workerDuring = false;
        bool runningDuring = false;
        QTimer::singleShot(150, [&] {
            workerDuring = WorkerAlive();
            runningDuring = TransferRunner::Running();
            // The operator clicks a digit and presses F5: nothing happens.
            QTest::mouseClick(window->DigitButtons[0].first, Qt::LeftButton);
            QTest::keyClick(window.get(), Qt::Key_F5);
            asked = Clock::now();
            paints.armed = true;
            window->update();
        });
        QTimer::singleShot(300, [&] {
            closed = Clock::now();
            QTest::mouseClick(Child<QToolButton>(*info, "SBOK"), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QAbstractButton>(*window, "SBSendConfiguration"), Qt::LeftButton);
        const Clock::time_point ended = Clock::now();

        EXPECT_TRUE(runningDuring);
        EXPECT_TRUE(workerDuring);
        ASSERT_TRUE(paints.painted.has_value());
        EXPECT_LT(MsBetween(asked, *paints.painted), 100);
        EXPECT_LT(MsBetween(closed, ended), 100);
        EXPECT_EQ(model.Prices[0].Price[0], digit);
        EXPECT_FALSE(TransferRunner::Running());
        EXPECT_FALSE(WorkerAlive());
        EXPECT_FALSE(link.IsConnected());
        EXPECT_FALSE(window->SerialLine.Connected());
        EXPECT_TRUE(info->isVisible());
        const QStringList lines = info->Lines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.at(serial ? lines.size() - 3 : lines.size() - 1), "* Transfer cancelled");
        EXPECT_TRUE(boxes.empty());

        // Not running, the button closes the log again.
        QTest::mouseClick(Child<QToolButton>(*info, "SBOK"), Qt::LeftButton);
        EXPECT_FALSE(info->isVisible());
        emu.ClearScript();
    }
}

}  // namespace
