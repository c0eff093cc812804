// Any text as a message of a language file: without a backslash it stays as
// it is; a text escaped the way the language files write line breaks and tabs
// (escapes in any letter case) unescapes to the text itself.
#include <cstdlib>
#include <string>

#include "lang/Msg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string out = UnescapeMessage(text);
    if (out.size() > text.size()) std::abort();
    if (text.find('\\') == std::string::npos) {
        if (out != text) std::abort();
        // Escaped, with the letters' case taken from the text's own bytes.
        std::string escaped;
        size_t bit = 0;
        const auto letter = [&](char c) { return (data[bit++ % size] & 1) ? char(c - 32) : c; };
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                escaped += std::string("\\") + letter('r') + "\\" + letter('n');
                ++i;
            } else if (text[i] == '\t') {
                escaped += std::string("\\") + letter('t');
            } else {
                escaped += text[i];
            }
        }
        if (UnescapeMessage(escaped) != text) std::abort();
    }
    return 0;
}
