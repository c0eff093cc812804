#include "comm/RunCommand.h"

#include "comm/Cancel.h"
#include "comm/PylonLink.h"
#include "comm/ProgressLog.h"
#include "comm/PylonCommandEnv.h"
#include "comm/SerialPort.h"
#include "lang/Msg.h"
#include "log/Log.h"

bool RunCommand(PylonCommandEnv& env, const CancelToken& token, const std::function<void()>& command)
{
    const CancelScope scope(token);
    try {
        command();
        return true;
    } catch (const TransferCancelled&) {}
    Log::Write(Log::Category::Comm, Log::Level::Info, "command cancelled by the operator");
    env.log.AppendLine(Msg[MsgTransferCancelled]);
    env.link.Disconnect();
    env.port.Close();
    return false;
}
