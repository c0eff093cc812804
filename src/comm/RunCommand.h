#pragma once
#include <functional>

class CancelToken;
struct PylonCommandEnv;

// Runs one pylon command on the calling thread with `token` as its cancel
// token. A cancelled command ends where it waited, as a failure ends: the
// log gets "* Transfer cancelled" and stays open, then the link and the port
// are closed (the port's closing lines follow). True when the command ran to
// its end, false when it was cancelled.
bool RunCommand(PylonCommandEnv& env, const CancelToken& token, const std::function<void()>& command);
