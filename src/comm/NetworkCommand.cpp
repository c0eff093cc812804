#include "comm/NetworkCommand.h"

#include "comm/PylonLink.h"
#include "comm/PylonCommandEnv.h"
#include "comm/ProgressLog.h"
#include "lang/Msg.h"
#include "model/Cp1250.h"

namespace {

constexpr int WarningStyle = 48;

}  // namespace

bool NetworkCommand::RefuseEmptyList(PylonCommandEnv& env)
{
    if (!env.model.NetSettings.empty()) return false;
    env.warningBox(Msg[MsgUndefinedNetwork], WarningStyle);
    return true;
}

bool NetworkCommand::Connect(PylonCommandEnv& env, const PylonConfig::NetworkPylon& entry, uint8_t command, int* result)
{
    env.link.SetTarget(entry.IP, entry.Port);
    env.link.command = command;
    env.log.AppendLine(Msg[MsgConnecting] + Cp1250::ToUtf8(entry.IP) + "...");
    const LinkResult r = env.link.Connect();
    if (result) *result = r;
    if (r == 0) return true;
    ReportResult(r, env.log);
    return false;
}
