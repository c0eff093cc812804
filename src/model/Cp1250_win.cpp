#include "model/Cp1250.h"

#include <windows.h>

#include "model/WideText_win.h"

// The code page through the system's own tables. Bytes the code page leaves
// undefined, and characters it lacks, become "?", as with iconv.
namespace {

constexpr UINT CodePage = 1250;

bool Undefined(unsigned char c) { return c == 0x81 || c == 0x83 || c == 0x88 || c == 0x90 || c == 0x98; }

}  // namespace

std::string Cp1250::ToUtf8(const std::string& ansi)
{
    std::string out;
    std::string run;  // defined bytes waiting to be converted together
    auto flush = [&] {
        const std::wstring w = WideFrom(CodePage, run);
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            const size_t at = out.size();
            out.resize(at + size_t(n));
            ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), out.data() + at, n, nullptr, nullptr);
        }
        run.clear();
    };
    for (char c : ansi) {
        if (Undefined(static_cast<unsigned char>(c))) {
            flush();
            out.push_back('?');
        } else {
            run.push_back(c);
        }
    }
    flush();
    return out;
}

std::string Cp1250::FromUtf8(const std::string& utf8)
{
    // Broken UTF-8 decodes to U+FFFD, which the code page lacks: "?".
    const std::wstring w = WideFrom(CP_UTF8, utf8);
    if (w.empty()) return {};
    const int n =
        ::WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), nullptr, 0, "?", nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), out.data(), n, "?", nullptr);
    return out;
}
