#include "lang/LanguageTexts.h"

#include <cstddef>

extern const unsigned char LangTextPL[], LangTextEN[], LangTextHU[], LangTextDE[];
extern const std::size_t LangTextPL_size, LangTextEN_size, LangTextHU_size, LangTextDE_size;

namespace {

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::string_view View(const unsigned char* bytes, std::size_t size)
{
    return {reinterpret_cast<const char*>(bytes), size};
}

}  // namespace

std::optional<std::string_view> BuiltinLanguageText(std::string_view code)
{
    if (SameLetters(code, "PL")) return View(LangTextPL, LangTextPL_size);
    if (SameLetters(code, "EN")) return View(LangTextEN, LangTextEN_size);
    if (SameLetters(code, "HU")) return View(LangTextHU, LangTextHU_size);
    if (SameLetters(code, "DE")) return View(LangTextDE, LangTextDE_size);
    return std::nullopt;
}
