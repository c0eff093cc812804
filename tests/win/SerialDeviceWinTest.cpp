// The serial layer on a Win32 COM port. The runner maps LMQ_TEST_COM (under
// wine: a pseudo-terminal in HKLM\Software\Wine\Ports) to the pylon
// emulator's serial line; without it the tests that need the peer skip.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/SerialPortError.h"
#include "comm/Frames.h"
#include "comm/SerialCommand.h"
#include "comm/SerialPort.h"
#include "model/PylonConfig.h"

namespace {

std::string TestPort()
{
    const char* p = std::getenv("LMQ_TEST_COM");
    return p ? p : "";
}

TEST(SerialDeviceWin, FailuresCarryTheirCodeAndTheSystemsNumber)
{
    SerialPort port;
    std::vector<std::string> events;
    port.OnBeforeOpen = [&] { events.push_back("before open"); };
    port.OnAfterOpen = [&] { events.push_back("after open"); };
    uint8_t byte = 0;
    const struct {
        const char* what;
        std::function<void()> run;
        const char* text;
    } cases[] = {
        {"write on a closed port", [&] { port.Write(&byte, 1); }, "Port Not Open"},
        {"read on a closed port", [&] { port.Read(&byte, 1); }, "Port Not Open"},
        {"a port that does not exist",
         [&] {
             port.SetPort("COM99");
             port.Open();
         },
         "Unable to open com port (Error: 2)"},
    };
    for (const auto& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.what;
        } catch (const SerialPortError& e) {
            EXPECT_STREQ(e.what(), c.text) << c.what;
        }
    }
    EXPECT_EQ(events, std::vector<std::string>{"before open"});
    EXPECT_EQ(SerialPort::DevicePath("COM7"), "\\\\.\\COM7");
}

class SerialToEmulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = TestPort();
        if (name.empty()) GTEST_SKIP() << "LMQ_TEST_COM names no port";
        port.timeouts.readInterval = 50;
        port.timeouts.readTotalPerByte = 50;
        port.timeouts.readTotalConstant = 200;
        port.SetPort(name);
    }
    std::string name;
    SerialPort port;
};

TEST_F(SerialToEmulator, TheMappedPortIsListedAndTakesAPriceBlock)
{
    const auto ports = SerialPort::ExistingPorts();
    EXPECT_NE(std::find(ports.begin(), ports.end(), name), ports.end());
    for (int code : {SerialPort::Baud2400, SerialPort::Baud115200, SerialPort::Baud9600}) {
        port.SetBaudRate(code);
        port.Open();  // the line settings of every rate are taken
        port.Close();
    }
    port.Open();
    SerialCommand::WriteHeader(port, 20);
    EXPECT_EQ(SerialCommand::ReadReply(port), 170);
    PylonConfig model;
    model.Prices[2].Price = {0, 0, 4, 3, 2, 1};
    const auto block = Frames::MakeDigitsBlock(model);
    SerialCommand::WriteBytes(port, block.data(), block.size());
    EXPECT_EQ(SerialCommand::ReadReply(port), 170);
}

TEST_F(SerialToEmulator, ASilentLineEndsTheReadByTheTotalTimeOut)
{
    port.Open();
    uint8_t reply[2] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 2), 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    // 50 ms per byte plus 200 ms; never the driver's default of waiting for ever.
    EXPECT_GE(ms.count(), 250);
    EXPECT_LT(ms.count(), 2000);
}

}  // namespace
