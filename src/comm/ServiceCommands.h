#pragma once
#include <cstdint>
#include <string>

#include "comm/PylonLink.h"
#include "comm/PylonCommandEnv.h"
#include "comm/TransferResult.h"

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

    // The result of the pylon being talked to, for the environment's recorder.
    void BeginPylon(uint8_t command, const uint8_t* payload, const std::string& target, const std::string& name);
    bool Note(TransferStep::Kind kind, uint8_t command, LinkResult code, const std::string& message);
    bool Note(TransferStep::Kind kind, uint8_t command, LinkResult code);
    void EndPylon(bool ok);
    // A serial port error ended the command.
    void PortError(const std::string& what);

    PylonCommandEnv env_;
    PylonResult pylon_;
    std::string action_;
    std::string detail_;
    int64_t start_ = 0;
    bool pending_ = false;
};
