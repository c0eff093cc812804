#pragma once
#include <cstdint>
#include <string>

#include "comm/K_CONNECTION.h"
#include "comm/PylonCommandEnv.h"

// The service window's two commands: the pylon's geometry (command 23 with
// prices - 1, digits - 1 and their XOR) and its display tests (command 29
// with the test code). Serial when the model's UseCOM is set, else every
// active pylon of NetSettings; progress goes to the log, which closes after
// a success.
class ServiceCommands {
public:
    // The pause between "OK" and closing the log, ms.
    static constexpr int SuccessWait = 1000;

    // Test codes of command 29.
    enum TestCode : uint8_t { EndTests = 0, AllLedsOn = 1, ShowAddresses = 2, ShowFirmware = 3 };

    explicit ServiceCommands(PylonCommandEnv env);

    // pricesIndex: item index of the "Prices" list (prices - 1);
    // digitsIndex: item index of the "Digits in price" list (digits - 1).
    void SendSettings(uint8_t pricesIndex, uint8_t digitsIndex);
    void RunTest(uint8_t testCode);

    // The two-byte reply on the window's port.
    LinkResult ReadServiceReply();

    // The line the serial test command logs for a reply result.
    static std::string TestResultLine(LinkResult result);

private:
    void SendSettingsSerial(uint8_t first, uint8_t second);
    void RunTestSerial(uint8_t testCode);
    // The network path of both commands: header, reply, payload, reply.
    void RunNetwork(uint8_t command, const uint8_t* payload, size_t payloadSize);

    PylonCommandEnv env_;
};
