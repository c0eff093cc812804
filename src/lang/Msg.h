#pragma once
#include <array>
#include <QString>

// The numbered messages of the current language (0 to 43), empty until a
// language with a [MSG] section has been loaded. Looked up at the moment of
// use, so a text shown after a language change is in the new language.
constexpr int MsgCount = 44;
extern std::array<QString, MsgCount> Msg;
