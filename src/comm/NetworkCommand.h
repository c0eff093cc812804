#pragma once
#include <cstdint>

#include "model/PylonConfig.h"

struct PylonCommandEnv;

// The steps every network command shares: refusing an empty pylon list, and
// connecting to one pylon of it with its log lines.
class NetworkCommand {
public:
    // An empty list: "* Undefined network settings" in a warning box, true.
    static bool RefuseEmptyList(PylonCommandEnv& env);
    // Points the link at the pylon with `command` for the next header, logs
    // "* Connecting with" + its address + "...", and connects. A failure is
    // reported to the log and gives false; nothing is left open then. The
    // link's result goes to `result` when one is given.
    static bool Connect(PylonCommandEnv& env, const PylonConfig::NetworkPylon& entry, uint8_t command,
                        int* result = nullptr);
};
