// The serial port layer on a real pseudo-terminal pair: the test holds the
// master side (the pylon's end of the cable), SerialPort opens the slave.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "comm/SerialPortError.h"
#include "comm/SerialRate.h"
#include "comm/SerialPort.h"

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// A pseudo-terminal: `master` is the far end, `peer` a second handle on the
// port's tty for looking at its line settings.
class Pty {
public:
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        path = ::ptsname(master);
        peer = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        name = path.substr(5);  // "pts/N"
    }
    ~Pty()
    {
        if (peer >= 0) ::close(peer);
        if (master >= 0) ::close(master);
    }
    void Send(const std::vector<uint8_t>& bytes)
    {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What reached the far end within `ms`.
    std::vector<uint8_t> Take(size_t count, int ms = 500)
    {
        std::vector<uint8_t> got;
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < count && Clock::now() < end) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            uint8_t buf[256];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
        return got;
    }
    termios Settings() const
    {
        termios t{};
        ::tcgetattr(peer, &t);
        return t;
    }

    int master = -1;
    int peer = -1;
    std::string path, name;
};

SerialPort::Timeouts Quick(int interval, int perByte, int constant)
{
    SerialPort::Timeouts t;
    t.readInterval = interval;
    t.readTotalPerByte = perByte;
    t.readTotalConstant = constant;
    t.writeTotalPerByte = 1;
    t.writeTotalConstant = 100;
    return t;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GE(pty.master, 0);
        port.SetPort(pty.name);
        port.OnBeforeOpen = [this] { events.push_back("before open " + port.Port()); };
        port.OnAfterOpen = [this] { events.push_back("after open " + port.Port()); };
        port.OnBeforeClose = [this] { events.push_back("before close " + port.Port()); };
        port.OnAfterClose = [this] { events.push_back("after close " + port.Port()); };
    }

    Pty pty;
    std::vector<std::string> events;  // outlives the port: its release closes it
    SerialPort port;
};

}  // namespace

TEST(SerialPortNames, OpenUnderDevOrAsGiven)
{
    EXPECT_EQ(SerialPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::DevicePath("pts/3"), "/dev/pts/3");
    EXPECT_EQ(SerialPort::DevicePath("/dev/ttyS1"), "/dev/ttyS1");
    EXPECT_EQ(SerialPort::DevicePath("\xB9"), "/dev/\xC4\x85");  // a model text in Windows-1250
    SerialPort port;
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), SerialPort::Baud9600);
    EXPECT_FALSE(port.Connected());
}

TEST(SerialPortNames, ExistingPortsAreSerialTtysInNaturalOrder)
{
    const auto ports = SerialPort::ExistingPorts();
    const std::regex form("tty(S|USB|ACM)([0-9]+)");
    for (size_t i = 0; i < ports.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(ports[i], m, form)) << ports[i];
        if (i > 0) {
            std::smatch prev;
            std::regex_match(ports[i - 1], prev, form);
            EXPECT_TRUE(prev[1].str() < m[1].str() ||
                        (prev[1] == m[1] && std::stol(prev[2].str()) < std::stol(m[2].str())))
                << ports[i - 1] << " before " << ports[i];
        }
    }
}

TEST(SerialPortErrors, TextsCarryTheSystemErrorNumber)
{
    const std::pair<int, const char*> messages[] = {
        {1, "Unable to open com port"}, {2, "WriteFile function failed"},  {3, "ReadFile function failed"},
        {4, "Invalid Async parameter"}, {6, "Unable to get async status"}, {7, "SetCommState function failed"},
        {8, "SetCommTimeouts failed"},  {9, "SetupComm function failed"},  {24, "Port Not Open"}};
    for (const auto& [code, text] : messages) {
        EXPECT_EQ(SerialPortError::MessageFor(code), text);
        EXPECT_STREQ(SerialPortError(code).what(), text);
        EXPECT_EQ(SerialPortError(code, 13).what(), std::string(text) + " (Error: 13)");
    }
    EXPECT_EQ(SerialPortError(1, 0).what(), std::string("Unable to open com port (Error: 0)"));
}

TEST(SerialPortErrors, AMissingPortFailsAfterItsOpeningLine)
{
    SerialPort port;
    port.SetPort("ttyLMQ-no-such-port");
    std::vector<std::string> events;
    port.OnBeforeOpen = [&] { events.push_back("before open"); };
    port.OnAfterOpen = [&] { events.push_back("after open"); };
    try {
        port.Open();
        FAIL() << "opened a port that does not exist";
    } catch (const SerialPortError& e) {
        EXPECT_EQ(e.Code(), 1);
        EXPECT_EQ(e.OsError(), 2);
        EXPECT_STREQ(e.what(), "Unable to open com port (Error: 2)");
    }
    EXPECT_EQ(events, std::vector<std::string>{"before open"});
    EXPECT_FALSE(port.Connected());

    uint8_t b[2] = {};
    try {
        port.Read(b, 2);
        FAIL();
    } catch (const SerialPortError& e) {
        EXPECT_STREQ(e.what(), "Port Not Open");
    }
    EXPECT_THROW(port.Write(b, 2), SerialPortError);
}

TEST(SerialPortErrors, ADeviceThatIsNoSerialLineIsClosedAgain)
{
    SerialPort port;
    port.SetPort("/dev/null");
    int afterOpen = 0, closes = 0;
    port.OnAfterOpen = [&] { ++afterOpen; };
    port.OnBeforeClose = [&] { ++closes; };
    try {
        port.Open();
        FAIL();
    } catch (const SerialPortError& e) {
        EXPECT_EQ(e.Code(), 9);
        EXPECT_EQ(e.OsError(), ENOTTY);
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(afterOpen, 0);
    EXPECT_EQ(closes, 0);
}

TEST_F(SerialPortTest, EventsComeInOrderAndOnlyOnChanges)
{
    port.Close();  // closed: nothing happens
    EXPECT_TRUE(events.empty());
    port.Open();
    EXPECT_TRUE(port.Connected());
    port.Open();  // already open: nothing
    port.Close();
    port.Close();
    EXPECT_FALSE(port.Connected());
    const std::string n = pty.name;
    EXPECT_EQ(events, (std::vector<std::string>{"before open " + n, "after open " + n, "before close " + n,
                                                "after close " + n}));
}

TEST_F(SerialPortTest, ANewNameOnAnOpenPortReopensIt)
{
    Pty other;
    port.Open();
    events.clear();
    port.SetPort(pty.name);  // the same name: nothing
    EXPECT_TRUE(events.empty());
    port.SetPort(other.name);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(events, (std::vector<std::string>{"before close " + other.name, "after close " + other.name,
                                                "before open " + other.name, "after open " + other.name}));
    const uint8_t b = 0x42;
    port.Write(&b, 1);
    EXPECT_EQ(other.Take(1), std::vector<uint8_t>{0x42});
}

TEST_F(SerialPortTest, LineIsRaw8N1WithoutFlowControl)
{
    port.Open();
    const termios t = pty.Settings();
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | INPCK));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));

    // Bytes that a terminal or a software flow control would eat or change
    // pass unchanged both ways.
    const std::vector<uint8_t> awkward = {0x00, 0x11, 0x13, 0x0D, 0x0A, 0x03, 0x04, 0x7F, 0xFF};
    EXPECT_EQ(port.Write(awkward.data(), int(awkward.size())), int(awkward.size()));
    EXPECT_EQ(pty.Take(awkward.size()), awkward);
    pty.Send(awkward);
    std::vector<uint8_t> got(awkward.size());
    port.timeouts = Quick(100, 10, 100);
    EXPECT_EQ(port.Read(got.data(), int(got.size())), int(got.size()));
    EXPECT_EQ(got, awkward);
}

TEST_F(SerialPortTest, BaudRateCodesSetTheLine)
{
    for (int code = 0; code <= 15; ++code) EXPECT_GT(SerialPort::RateOf(code), 0);
    EXPECT_EQ(SerialPort::RateOf(0), 9600);
    EXPECT_EQ(SerialPort::RateOf(5), 2400);
    EXPECT_EQ(SerialPort::RateOf(8), 14400);
    EXPECT_EQ(SerialPort::RateOf(13), 115200);
    EXPECT_EQ(SerialPort::RateOf(15), 256000);
    EXPECT_EQ(SerialPort::RateOf(16), 9600);
    EXPECT_EQ(SerialPort::RateOf(-3), 9600);

    port.SetBaudRate(SerialPort::Baud2400);  // closed: applied at opening
    port.Open();
    EXPECT_EQ(cfgetospeed(&static_cast<const termios&>(pty.Settings())), speed_t(B2400));
    port.SetBaudRate(SerialPort::Baud115200);  // open: applied at once
    termios t = pty.Settings();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));

    // The same code again does nothing: a rate changed behind the port's back stays.
    cfsetospeed(&t, B4800);
    cfsetispeed(&t, B4800);
    ASSERT_EQ(tcsetattr(pty.peer, TCSANOW, &t), 0);
    port.SetBaudRate(SerialPort::Baud115200);
    t = pty.Settings();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B4800));

    port.SetBaudRate(SerialPort::Baud14400);  // no standard constant
    EXPECT_EQ(SerialRate::Current(pty.peer), 14400);
    port.SetBaudRate(SerialPort::Baud9600);
    t = pty.Settings();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
}

TEST_F(SerialPortTest, ASilentLineEndsTheReadAfterTheTotalTimeOut)
{
    port.timeouts = Quick(30, 20, 100);  // 2 bytes: 20 x 2 + 100 = 140 ms
    port.Open();
    uint8_t b[2] = {0xEE, 0xEE};
    const auto t = Clock::now();
    EXPECT_EQ(port.Read(b, 2), 0);
    EXPECT_GE(MsSince(t), 140);
    EXPECT_LT(MsSince(t), 400);
}

TEST_F(SerialPortTest, OneByteOfTwoEndsTheReadAfterTheInterval)
{
    port.timeouts = Quick(60, 500, 500);  // total 1.5 s: only the interval can end it early
    port.Open();
    pty.Send({0xAA});
    uint8_t b[2] = {};
    const auto t = Clock::now();
    EXPECT_EQ(port.Read(b, 2), 1);
    EXPECT_EQ(b[0], 0xAA);
    EXPECT_GE(MsSince(t), 60);
    EXPECT_LT(MsSince(t), 400);
}

TEST_F(SerialPortTest, BytesInPiecesWithinTheIntervalAreOneRead)
{
    port.timeouts = Quick(150, 20, 200);
    port.Open();
    std::thread pylon([this] {
        for (uint8_t b = 1; b <= 6; ++b) {
            pty.Send({b});
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    uint8_t got[6] = {};
    EXPECT_EQ(port.Read(got, 6), 6);
    pylon.join();
    EXPECT_EQ(std::vector<uint8_t>(got, got + 6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(SerialPortTest, TheTotalTimeOutEndsATrickleTheIntervalWouldAllow)
{
    port.timeouts = Quick(100, 5, 50);  // 20 bytes: 150 ms in all
    port.Open();
    std::atomic<bool> stop{false};
    std::thread pylon([&] {
        for (int i = 0; i < 30 && !stop; ++i) {
            pty.Send({uint8_t(i)});
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    });
    uint8_t got[20] = {};
    const auto t = Clock::now();
    const int n = port.Read(got, 20);
    const long ms = MsSince(t);
    stop = true;
    pylon.join();
    EXPECT_GT(n, 2);
    EXPECT_LT(n, 20);
    EXPECT_GE(ms, 150);
    EXPECT_LT(ms, 400);
}

TEST_F(SerialPortTest, StaleInputIsGoneWhenThePortOpens)
{
    ::fcntl(pty.master, F_SETFL, O_NONBLOCK);
    pty.Send({0x01, 0x02});
    port.timeouts = Quick(30, 10, 50);
    port.Open();
    uint8_t b[2] = {};
    EXPECT_EQ(port.Read(b, 2), 0);
}

TEST_F(SerialPortTest, AVanishedDeviceIsAReadError)
{
    port.timeouts = Quick(50, 50, 100);
    port.Open();
    ::close(pty.peer);
    pty.peer = -1;
    ::close(pty.master);
    pty.master = -1;
    uint8_t b[2];
    try {
        port.Read(b, 2);
        FAIL() << "read from a hung-up line";
    } catch (const SerialPortError& e) {
        EXPECT_EQ(e.Code(), 3);
        EXPECT_GT(e.OsError(), 0);
    }
    EXPECT_TRUE(port.Connected());  // open until the next command closes it
    port.Close();
    EXPECT_FALSE(port.Connected());
}

TEST_F(SerialPortTest, APortHeldByAnotherIsNotShared)
{
    port.Open();
    SerialPort second;
    second.SetPort(pty.name);
    try {
        second.Open();
        FAIL() << "two ports on one line";
    } catch (const SerialPortError& e) {
        EXPECT_EQ(e.Code(), 1);
    }
    port.Close();
    EXPECT_NO_THROW(second.Open());
}

TEST_F(SerialPortTest, ImpossibleTimeOutsRefuseToOpen)
{
    port.timeouts.readInterval = -1;
    try {
        port.Open();
        FAIL();
    } catch (const SerialPortError& e) {
        EXPECT_STREQ(e.what(), "SetCommTimeouts failed");
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(events.size(), 1u);  // only the opening line
}
