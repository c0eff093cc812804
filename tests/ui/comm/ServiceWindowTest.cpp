// The service window as service staff use it: the password, the geometry
// and test buttons, closing. Real widgets on the offscreen platform, the
// emulator as the pylon.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "comm/CommandRig.h"
#include "ui/comm/ServiceWindow.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/DataModule.h"
#include "model/MemoryRegStore.h"
#include "support/Child.h"

namespace {

const QDate Day(2024, 3, 15);
const char* const Passwords[2] = {"KD4M20240315", "15032024SRV2"};

class ServiceWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglishMessages();
        tcpPort = emu.ListenTcp();
        rig.UseNetwork({tcpPort});
    }
    void TearDown() override { delete window.data(); }

    ServiceWindow* Open(int mode)
    {
        window = new ServiceWindow(
            nullptr, mode, dm, rig.model, rig.link, rig.log, [] { return Day; }, rig.waiter);
        window->show();
        QApplication::setActiveWindow(window);
        return window;
    }

    void Type(const QString& text)
    {
        Child<QLineEdit>(*window, "EPassword")->clear();
        QTest::keyClicks(Child<QLineEdit>(*window, "EPassword"), text);
    }

    void Unlock(int mode)
    {
        Open(mode);
        Type(QString::fromLatin1(Passwords[mode]));
        QTest::mouseClick(Child<QToolButton>(*window, "SBOKPass"), Qt::LeftButton);
        ASSERT_TRUE(window->Unlocked());
    }

    // Lets the deferred deletion of a closed window happen.
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    MemoryRegStore store;
    DataModule dm{&store};
    PylonEmulator emu;
    uint16_t tcpPort = 0;
    CommandRig rig;
    std::vector<MessageBoxCall> boxes;
    MessageBoxSeam seam{[this](const MessageBoxCall& c) { boxes.push_back(c); }};
    QPointer<ServiceWindow> window;
};

TEST_F(ServiceWindowTest, OpensLockedWithItsDesignLayout)
{
    Open(0);
    EXPECT_EQ(window->objectName(), "FServiceOptions");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window->size(), QSize(323, 501));
    EXPECT_TRUE(Child<QFrame>(*window, "PPassword")->isVisible());
    EXPECT_FALSE(Child<QFrame>(*window, "PServise")->isVisible());
    EXPECT_EQ(Child<QFrame>(*window, "PInfo")->height(), 79);
    EXPECT_EQ(Child<QFrame>(*window, "PServise")->height(), 323);
    EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->maxLength(), 20);
    EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Child<QLineEdit>(*window, "EPassword")->font().bold());
    EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->font().pixelSize(), 20);
    for (QComboBox* list : {Child<QComboBox>(*window, "CBList1"), Child<QComboBox>(*window, "CBList2")}) {
        ASSERT_EQ(list->count(), 6);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(list->itemText(i), QString::number(i + 1));
    }
    EXPECT_EQ(Child<QComboBox>(*window, "CBList1")->currentIndex(), 2);
    EXPECT_EQ(Child<QComboBox>(*window, "CBList2")->currentIndex(), 3);
    const std::pair<QToolButton*, int> tags[] = {{Child<QToolButton>(*window, "SpeedButton2"), 1},
                                                 {Child<QToolButton>(*window, "SpeedButton3"), 2},
                                                 {Child<QToolButton>(*window, "SpeedButton4"), 3},
                                                 {Child<QToolButton>(*window, "SpeedButton5"), 0}};
    for (const auto& [button, tag] : tags) EXPECT_EQ(button->property("Tag").toInt(), tag);
}

TEST_F(ServiceWindowTest, EachModeOpensWithItsOwnPasswordOnly)
{
    for (int mode : {0, 1}) {
        boxes.clear();
        Open(mode);
        Type(QString::fromLatin1(Passwords[1 - mode]));
        QTest::mouseClick(Child<QToolButton>(*window, "SBOKPass"), Qt::LeftButton);
        EXPECT_FALSE(window->Unlocked());
        EXPECT_FALSE(Child<QFrame>(*window, "PServise")->isVisible());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Wrong password");
        EXPECT_EQ(boxes[0].style & 0xFFFF, 48);
        // The refused text stays, selected, ready to be typed over.
        EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->selectedText(), QString::fromLatin1(Passwords[1 - mode]));
        EXPECT_TRUE(Child<QLineEdit>(*window, "EPassword")->hasFocus());

        Type(QString::fromLatin1(Passwords[mode]));
        QTest::mouseClick(Child<QToolButton>(*window, "SBOKPass"), Qt::LeftButton);
        EXPECT_TRUE(window->Unlocked());
        EXPECT_TRUE(Child<QFrame>(*window, "PServise")->isVisible());
        EXPECT_FALSE(Child<QLineEdit>(*window, "EPassword")->isEnabled());
        EXPECT_FALSE(Child<QToolButton>(*window, "SBOKPass")->isEnabled());
        EXPECT_FALSE(Child<QLabel>(*window, "LPass")->isEnabled());
        EXPECT_EQ(boxes.size(), 1u);
        delete window.data();
    }
}

TEST_F(ServiceWindowTest, TypedLettersBecomeCapitalsAndEnterConfirms)
{
    Open(0);
    Type("kd4m20240315");
    EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->text(), "KD4M20240315");
    QTest::keyClick(Child<QLineEdit>(*window, "EPassword"), Qt::Key_Return);
    EXPECT_TRUE(window->Unlocked());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ServiceWindowTest, ClickInThePasswordSelectsItAll)
{
    Open(1);
    Type("ABC123");
    Child<QLineEdit>(*window, "EPassword")->deselect();
    QTest::mouseClick(Child<QLineEdit>(*window, "EPassword"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Child<QLineEdit>(*window, "EPassword")->selectedText(), "ABC123");
}

TEST_F(ServiceWindowTest, SendButtonCarriesTheChosenGeometry)
{
    Unlock(0);
    QTest::mouseClick(Child<QToolButton>(*window, "SBSendConfiguration"), Qt::LeftButton);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x17, 0x03, 0x02, 0x01}));
    emu.ClearReceived();
    Child<QComboBox>(*window, "CBList1")->setCurrentIndex(5);
    Child<QComboBox>(*window, "CBList2")->setCurrentIndex(5);
    QTest::mouseClick(Child<QToolButton>(*window, "SBSendConfiguration"), Qt::LeftButton);
    EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x17, 0x05, 0x05, 0x00}));
    EXPECT_EQ(emu.GetState().prices, 6);
    EXPECT_EQ(emu.GetState().digits, 6);
    EXPECT_EQ(rig.waiter.waits, std::vector<int>({1000, 1000}));
}

TEST_F(ServiceWindowTest, TestButtonsSendTheirTags)
{
    Unlock(1);
    const std::pair<QToolButton*, int> buttons[] = {{Child<QToolButton>(*window, "SpeedButton2"), 1},
                                                    {Child<QToolButton>(*window, "SpeedButton3"), 2},
                                                    {Child<QToolButton>(*window, "SpeedButton4"), 3},
                                                    {Child<QToolButton>(*window, "SpeedButton5"), 0}};
    for (const auto& [button, code] : buttons) {
        emu.ClearReceived();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(emu.Received(), Bytes({0x4B, 0x64, 0x34, 0x1D, uint8_t(code)}));
        EXPECT_EQ(emu.GetState().test, code);
    }
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ServiceWindowTest, CloseButtonEndsTheTestsThenCloses)
{
    Unlock(0);
    QTest::mouseClick(Child<QToolButton>(*window, "SpeedButton2"), Qt::LeftButton);
    ASSERT_EQ(emu.GetState().test, 1);
    QTest::mouseClick(Child<QToolButton>(*window, "SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(emu.GetState().test, 0);
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, CloseButtonClosesAfterAFailedEndTests)
{
    emu.RefuseConnections(true);
    Unlock(0);
    QTest::mouseClick(Child<QToolButton>(*window, "SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(rig.log.lines, Lines({Connecting("127.0.0.1"), "* Connection error"}));
    EXPECT_TRUE(rig.log.shown);
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, EmptyNetworkListWarnsForEveryCommandAndCloseStillCloses)
{
    rig.model.NetSettings.clear();
    Unlock(1);
    for (QToolButton* b :
         {Child<QToolButton>(*window, "SBSendConfiguration"), Child<QToolButton>(*window, "SpeedButton2"),
          Child<QToolButton>(*window, "SpeedButton3"), Child<QToolButton>(*window, "SpeedButton4"),
          Child<QToolButton>(*window, "SpeedButton5"), Child<QToolButton>(*window, "SpeedButton1")})
        QTest::mouseClick(b, Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 6u);
    for (const MessageBoxCall& b : boxes) EXPECT_EQ(b.text, "* Undefined network settings");
    EXPECT_EQ(rig.log.shows, 0);
    Settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(ServiceWindowTest, TitleBarCloseSendsNothing)
{
    Unlock(0);
    window->close();
    Settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(emu.Received().empty());
}

TEST_F(ServiceWindowTest, LockedWindowRunsNoCommand)
{
    Open(0);
    window->SendClicked();
    window->CloseClicked();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(emu.ConnectionsAccepted(), 0);
    EXPECT_EQ(rig.log.shows, 0);
}

TEST_F(ServiceWindowTest, PortLeftOpenIsClosedWithItsLogLinesWhenTheWindowGoes)
{
    const std::string pty = emu.OpenPty();
    Open(0);
    rig.log.ShowLog();
    window->SerialLine.SetPort(pty);
    window->SerialLine.Open();
    delete window.data();
    EXPECT_EQ(rig.log.lines, PortLines(pty, 0, 3));
}

TEST_F(ServiceWindowTest, SerialTestNamesThePortPlainly)
{
    const std::string pty = emu.OpenPty();
    rig.UseSerial(pty);
    Unlock(0);
    window->SerialLine.timeouts = QuickSerialTimeouts();
    QTest::mouseClick(Child<QToolButton>(*window, "SpeedButton3"), Qt::LeftButton);
    EXPECT_EQ(window->SerialLine.Port(), pty);
    ASSERT_FALSE(rig.log.lines.empty());
    EXPECT_EQ(rig.log.lines.front(), "Opening port " + pty);
    EXPECT_EQ(emu.GetState().test, 2);
}

TEST_F(ServiceWindowTest, EnglishTextsExceptTheTestButtons)
{
    ASSERT_TRUE(dm.Changer.LoadLanguage("EN"));
    Open(0);
    EXPECT_EQ(window->windowTitle(), "Service options");
    EXPECT_EQ(Child<QLabel>(*window, "Label2")->text(), "ATTENTION: Lumarq Technology service option");
    EXPECT_EQ(Child<QLabel>(*window, "LPass")->text(), "Password:");
    EXPECT_EQ(Child<QLabel>(*window, "Linfo1")->text(), "Digits in price:");
    EXPECT_EQ(Child<QLabel>(*window, "LInfo2")->text(), "Prices:");
    EXPECT_EQ(Child<QToolButton>(*window, "SBSendConfiguration")->toolTip(), "Send");
    EXPECT_EQ(Child<QToolButton>(*window, "SpeedButton1")->text(), "Close");
    EXPECT_EQ(Child<QToolButton>(*window, "SpeedButton2")->text(), "Włącz wszystkie diody");
    EXPECT_EQ(Child<QToolButton>(*window, "SpeedButton5")->text(), "Zakończ testy");
    EXPECT_EQ(Child<QComboBox>(*window, "CBList1")->currentIndex(), 2);
    EXPECT_EQ(Child<QComboBox>(*window, "CBList2")->currentIndex(), 3);
}

}  // namespace
