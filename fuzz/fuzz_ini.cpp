// Any text as a language file: read without a crash, and a key written first
// in its section reads back exactly, in any letter case, whatever follows.
#include <cstdlib>
#include <string>
#include <string_view>

#include "lang/IniStore.h"

namespace {

bool Printable(char c) { return c > ' ' && c < 0x7F; }

// A name the reader takes as it stands: no line break, ASCII at both ends
// (so no blank to trim there), and none of the characters that make a
// line a comment, a section or a value.
bool PlainName(std::string_view s, bool key)
{
    if (s.empty() || !Printable(s.front()) || !Printable(s.back())) return false;
    if (s.find_first_of("\r\n") != std::string_view::npos) return false;
    if (key && (s.front() == ';' || s.front() == '[' || s.find('=') != std::string_view::npos)) return false;
    if (!key && s.find(']') != std::string_view::npos) return false;
    return true;
}

std::string Upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);

    IniStore whole;
    whole.SetText(all);
    size_t lines = 1;
    for (char c : all) lines += c == '\n';
    if (whole.KeyCount() < 0 || size_t(whole.KeyCount()) > lines || size_t(whole.SectionCount()) > lines) std::abort();

    // section NUL key NUL value NUL rest of the document
    const size_t a = all.find('\0');
    const size_t b = a == std::string_view::npos ? a : all.find('\0', a + 1);
    const size_t c = b == std::string_view::npos ? b : all.find('\0', b + 1);
    if (c == std::string_view::npos) return 0;
    const std::string_view section = all.substr(0, a), key = all.substr(a + 1, b - a - 1),
                           value = all.substr(b + 1, c - b - 1), rest = all.substr(c + 1);
    if (!PlainName(section, false) || !PlainName(key, true)) return 0;
    if (value.find('\n') != std::string_view::npos || (!value.empty() && value.back() == '\r')) return 0;

    const std::string text =
        "[" + std::string(section) + "]\r\n" + std::string(key) + "=" + std::string(value) + "\r\n" + std::string(rest);
    IniStore doc;
    doc.SetText(text);
    const std::string def = value == "default" ? "other" : "default";
    for (const std::string& s : {std::string(section), Upper(section), IniStore::FoldCase(section)}) {
        if (!doc.SectionExists(s)) std::abort();
        for (const std::string& k : {std::string(key), Upper(key), IniStore::FoldCase(key)}) {
            if (!doc.ValueExists(s, k)) std::abort();
            if (doc.ReadString(s, k, def) != value) std::abort();
        }
    }
    const std::string folded = IniStore::FoldCase(all);
    if (IniStore::FoldCase(folded) != folded) std::abort();
    return 0;
}
