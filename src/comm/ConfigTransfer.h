#pragma once
#include <cstdint>
#include <functional>

#include "comm/PylonLink.h"
#include "comm/PylonCommandEnv.h"
#include "comm/TransferResult.h"

class PylonConfig;

// What the operator chose for a transfer, beside the model.
struct TransferOptions {
    // After a pylon accepted the whole Send, read its configuration back and
    // compare it with what was sent; a difference is a failure of that pylon.
    bool verifyAfterSend = false;
    // A steady clock in milliseconds for the elapsed time of each pylon;
    // empty: the system's steady clock.
    std::function<int64_t()> clockMs;
};

// The main window's Send and Download: the whole configuration to the pylon,
// or the pylon's configuration back into the model. Over the serial port when
// the model's UseCOM is set, otherwise to every active pylon of NetSettings in
// turn. Each stage writes one line to the progress log. The log closes itself
// 2000 ms after the last pylon when every pylon succeeded, and stays open
// after any failure so the operator can read it. Both return what happened
// with each pylon.
class ConfigTransfer {
public:
    // The pause between the last pylon's "OK" and closing the log, ms.
    static constexpr int SuccessWait = 2000;

    explicit ConfigTransfer(PylonCommandEnv env, TransferOptions options = {});

    TransferResult Send();
    TransferResult Download();

    // The two-byte reply on the serial port (see SerialCommand::ReadReply).
    LinkResult ReadSerialReply();

private:
    void SendSerial(PylonResult& result);
    void SendNetwork(TransferResult& result);
    void DownloadSerial(PylonResult& result);
    void DownloadNetwork(TransferResult& result);
    // The configuration read back after a Send and compared with the model.
    void VerifySerial(PylonResult& result);
    void VerifyNetwork(PylonResult& result);
    void Judge(PylonResult& result, bool readBack, const PylonConfig& held);
    // Runs `serial` for the one pylon of the serial line, catching the port's error.
    void OnSerialLine(TransferResult& result, void (ConfigTransfer::*serial)(PylonResult&));
    void LogMsg(int number);
    int64_t Now() const;
    // A pylon's exchange starts (returns Now()); its result is final and goes
    // to the environment's recorder, once per pylon.
    int64_t BeginPylon();
    void RecordPylon(PylonResult& result);

    PylonCommandEnv env_;
    TransferOptions options_;
    const char* action_ = "send";
    int64_t pylonStart_ = 0;
    bool recorded_ = false;
};
