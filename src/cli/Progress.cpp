#include "cli/Progress.h"

#include <cstdio>

#include "lang/IniStore.h"
#include "lang/LanguageTexts.h"
#include "lang/Msg.h"

void StderrLog::AppendLine(const std::string& line)
{
    lines.push_back(line);
    if (quiet_) return;
    std::fputs(line.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

bool LoadLanguage(const std::string& code)
{
    const auto text = BuiltinLanguageText(code);
    if (!text) return false;
    IniStore ini;
    ini.SetText(*text);
    LoadMessages(ini);
    return true;
}

std::string FileResultText(int result)
{
    int message = -1;
    if (result == 100) message = MsgFileOpenError;
    else if (result >= 1 && result <= 6) message = MsgFileOpenError + result;
    else if (result == 200) message = MsgFileSaveError;
    const std::string text = message < 0 ? std::string("result") : Msg[message];
    return text + " (result " + std::to_string(result) + ")";
}
