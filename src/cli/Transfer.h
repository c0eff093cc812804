#pragma once
#include <string>
#include <vector>

#include "cli/Progress.h"
#include "cli/Target.h"
#include "comm/PylonLink.h"
#include "comm/SerialPort.h"
#include "comm/TransferRecorder.h"
#include "comm/TransferResult.h"
#ifndef LMQ_NO_HISTORY
#include "history/History.h"
#include "history/HistoryRecorder.h"
#endif
#include "model/PylonConfig.h"

// The exit codes of pylonctl; of several, the highest applies.
enum ExitCode : int {
    ExitOk = 0,           // every target succeeded (and verified, when asked)
    ExitUsage = 1,        // the call is wrong: an option, a target, a value the editor refuses
    ExitFile = 2,         // a configuration file could not be read or written
    ExitUnreachable = 3,  // a target could not be reached
    ExitRefused = 4,      // a pylon refused or replied wrongly
    ExitDiffers = 5,      // verification found differences
};

// The link, the serial port and the progress log one pylonctl run shares
// among its targets, as the window shares its own.
class Session {
public:
    explicit Session(bool quiet);

    // The window's Send of `config` to one target; with `verify` the pylon's
    // configuration is read back and compared.
    PylonResult Send(const PylonConfig& config, const Target& target, bool verify);
    // The window's Download from one target into `into` (its names and lists stay).
    PylonResult Download(const Target& target, PylonConfig& into);
    // Downloads into a scratch model and compares it with `config`; sends nothing.
    PylonResult Verify(const PylonConfig& config, const Target& target);

    StderrLog log;

private:
    PylonResult Run(PylonConfig& model, const Target& target, bool send, bool verify, TransferRecorder* recorder);

    PylonLink link{"0.0.0.0", DefaultPylonPort};
    SerialPort port;
    NoWaiter waiter;
    // Every transfer goes to the send history, as one from the window does
    // (null in a build without the history).
    TransferRecorder* Recorder();
#ifndef LMQ_NO_HISTORY
    History history;
    HistoryRecorder recorder;
#endif
};

// The exit code one target's result stands for.
int ExitCodeOf(const PylonResult& result, const Target& target);
// "ok", "unreachable", "refused" or "differs", as the JSON "result" says it.
const char* ResultName(int exitCode);
// The line that says why a target failed (empty after a success).
std::string FailureText(const PylonResult& result);
