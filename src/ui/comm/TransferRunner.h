#pragma once
#include <functional>

struct PylonCommandEnv;

// Runs the pylon commands off the user-interface thread, one at a time.
// While a command runs, the calling thread goes on with its event loop, so
// every window paints and moves; the operator's input is refused everywhere
// except in the progress log, whose close button cancels the command, and
// in the boxes the command raises, which stand above the log.
class TransferRunner {
public:
    // Runs `command` on a worker thread with a copy of `env` whose boxes and
    // picture are shown on this thread (the worker waits for them), and
    // returns when the command has ended. The log takes the command's lines
    // from the worker; when it is the progress log window (ProgressLogWindow) its
    // close button cancels the command meanwhile (see RunCommand). False when
    // the command was cancelled, or not run because another one was running.
    static bool Run(const PylonCommandEnv& env, const std::function<void(PylonCommandEnv&)>& command);

    static bool Running();
};
