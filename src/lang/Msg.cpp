#include "lang/Msg.h"

#include "lang/IniStore.h"

std::array<std::string, MsgCount> Msg;

namespace {

// Replaces every `from` (ASCII, letter case aside) with `to`.
void ReplaceIgnoringCase(std::string& text, std::string_view from, std::string_view to)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool match = i + from.size() <= text.size();
        for (size_t k = 0; match && k < from.size(); ++k) match = lower(text[i + k]) == lower(from[k]);
        if (match) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    text.swap(out);
}

}  // namespace

std::string UnescapeMessage(std::string text)
{
    ReplaceIgnoringCase(text, "\\r\\n", "\r\n");
    ReplaceIgnoringCase(text, "\\t", "\t");
    return text;
}

void LoadMessages(const IniStore& texts)
{
    if (!texts.SectionExists("MSG")) return;
    for (int n = 0; n < MsgCount; ++n) Msg[n] = UnescapeMessage(texts.ReadString("MSG", std::to_string(n), "ERROR"));
}
