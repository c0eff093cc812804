#include "lang/Msg.h"

std::array<QString, MsgCount> Msg;
