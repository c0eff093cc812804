// The main window's Send, Download and service window commands, driven the
// way the operator drives them: toolbar buttons, F5 and the hidden shortcuts.
#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "comm/CommandRig.h"
#include "ui/comm/TFInfoWindow.h"
#include "ui/comm/TFServiceOptions.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/TDM.h"
#include "model/K_FILE.h"
#include "model/MemoryRegStore.h"
#include "model/SessionStore.h"
#include "ui/main/TFLumarqPylon.h"
#include "ui/main/TSpeedButton.h"

namespace {

class MainWindowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm.Settings.LangId = "EN";
        window = std::make_unique<TFLumarqPylon>(model, file, link, dm);
        info = std::make_unique<TFInfoWindow>(dm);
        window->SetInfoWindow(info.get());
        window->SetWaiter(&waiter);
        window->ComPort.timeouts = QuickSerialTimeouts();
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
    TDM dm{&store};
    K_PYLON model;
    K_FILE file;
    K_CONNECTION link{"0.0.0.0", 2101};
    RecordingWaiter waiter;
    std::unique_ptr<TFLumarqPylon> window;
    std::unique_ptr<TFInfoWindow> info;
    PylonEmulator emu;
    uint16_t tcpPort = 0;
    std::vector<MessageBoxCall> boxes;
    MessageBoxSeam seam{[this](const MessageBoxCall& c) { boxes.push_back(c); }};
};

TEST_F(MainWindowCommandsTest, SendButtonPutsTheEditedPricesOnThePylon)
{
    UseNetwork();
    // The operator raises the first digit of line 1 three times.
    for (int i = 0; i < 3; ++i) QTest::mouseClick(window->DigitButtons[0].first, Qt::LeftButton);
    ASSERT_EQ(model.Prices[0].Price[0], 3);
    QStringList atWait;
    waiter.onWait = [&](int) { atWait = info->Lines(); EXPECT_TRUE(info->isVisible()); };
    QTest::mouseClick(window->SBSendConfiguration, Qt::LeftButton);

    K_PYLON held;
    emu.ToModel(held);
    EXPECT_EQ(held.Prices[0].Price[0], 3);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(held.Prices[i].Price, model.Prices[i].Price);
    EXPECT_EQ(atWait, QStringList({"* Connecting with127.0.0.1...", "* Sending data...", "OK"}));
    EXPECT_EQ(waiter.waits, std::vector<int>{2000});
    EXPECT_FALSE(info->isVisible());
}

TEST_F(MainWindowCommandsTest, F5SendsOverTheSerialPortWithItsLogLines)
{
    const QString pty = QString::fromStdString(UseSerial());
    QStringList atWait;
    waiter.onWait = [&](int) { atWait = info->Lines(); };
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(atWait, QStringList({"Opening port " + pty, "Opened port " + pty, "* Sending data...", "OK"}));
    EXPECT_EQ(emu.Received().size(), 4u * 3 + 46 + 43 + 22);
    EXPECT_FALSE(window->ComPort.Connected());
}

TEST_F(MainWindowCommandsTest, VerifyAfterSendIsACheckableItemKeptForTheNextStart)
{
    MemoryRegStore userStore;
    K_PYLON bound(&userStore);
    for (bool expected : {false, true}) {
        TFLumarqPylon w(bound, file, link, dm);
        ASSERT_TRUE(w.Weryfikujpowysaniu1->isCheckable());
        EXPECT_EQ(w.Weryfikujpowysaniu1->isChecked(), expected) << "off until the operator turns it on";
        if (!expected) w.Weryfikujpowysaniu1->trigger();
    }
    EXPECT_EQ(userStore.ReadValue(SessionStore::SessionKey, SessionStore::VerifyAfterSendValue), RegValue::DWord(1));

    // Checked, F5 reads the pylon back and the log says so.
    UseNetwork();
    window->Weryfikujpowysaniu1->trigger();
    QStringList atWait;
    waiter.onWait = [&](int) { atWait = info->Lines(); };
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(atWait, QStringList({"* Connecting with127.0.0.1...", "* Sending data...", "OK",
                                   "* Verified: the pylon holds what was sent"}));
    EXPECT_EQ(emu.Received().size(), 4u * 5 + 46 + 43 + 22);
    ASSERT_EQ(window->LastTransfer.pylons.size(), 1u);
    EXPECT_EQ(window->LastTransfer.pylons[0].verify, VerifyOutcome::Verified);
}

TEST_F(MainWindowCommandsTest, DownloadButtonShowsWhatThePylonHolds)
{
    K_PYLON onPylon;
    FillDistinct(onPylon, 4);
    emu.FromModel(onPylon);
    UseNetwork();
    QTest::mouseClick(window->SBDownload, Qt::LeftButton);

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
    QTest::mouseClick(window->SBSendConfiguration, Qt::LeftButton);
    QTest::mouseClick(window->SBDownload, Qt::LeftButton);
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
    QTest::mouseClick(window->SBSendConfiguration, Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageBoxCall::Kind::Error);
    EXPECT_EQ(boxes[0].text, "Unable to open com port (Error: 2)");
    EXPECT_EQ(info->Lines(), QStringList({"Opening port ttyLMQ-absent"}));

    UseSerial();
    QTest::mouseClick(window->SBDownload, Qt::LeftButton);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(info->isVisible());
}

TEST_F(MainWindowCommandsTest, PortLinesAreSilentWhileTheWindowIsDestroyed)
{
    const std::string pty = UseSerial();
    info->ShowLog();
    window->ComPort.SetPort(pty);
    window->ComPort.Open();
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
        QPointer<TFServiceOptions> seen;
        int mode = -1;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<TFServiceOptions*>(QApplication::activeModalWidget());
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
