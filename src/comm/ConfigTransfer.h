#pragma once
#include "comm/K_CONNECTION.h"
#include "comm/PylonCommandEnv.h"

// The main window's Send and Download: the whole configuration to the pylon,
// or the pylon's configuration back into the model. Over the serial port when
// the model's UseCOM is set, otherwise to every active pylon of NetSettings in
// turn. Each stage writes one line to the progress log; the log closes itself
// after a success and stays open after a failure so the operator can read it.
class ConfigTransfer {
public:
    // The pause between "OK" and closing the log, ms.
    static constexpr int SuccessWait = 2000;

    explicit ConfigTransfer(PylonCommandEnv env);

    void Send();
    void Download();

    // The two-byte reply on the serial port (see SerialCommand::ReadReply).
    LinkResult ReadSerialReply();

private:
    void SendSerial();
    void SendNetwork();
    void DownloadSerial();
    void DownloadNetwork();
    // The network paths refuse an empty device list before showing anything.
    void LogMsg(int number);

    PylonCommandEnv env_;
};
