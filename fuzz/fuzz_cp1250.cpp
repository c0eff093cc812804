// Windows-1250 both ways: every byte the code page defines comes back from
// UTF-8 unchanged, every other byte and every character it lacks becomes "?",
// one byte per character.
#include <array>
#include <cstdlib>
#include <string>

#include "model/Cp1250.h"

namespace {

// Whether the code page defines the byte (five bytes are unassigned).
const std::array<bool, 256>& Defined()
{
    static const std::array<bool, 256> defined = [] {
        std::array<bool, 256> d{};
        for (int b = 0; b < 256; ++b) d[b] = b == '?' || Cp1250::ToUtf8(std::string(1, char(b))) != "?";
        return d;
    }();
    return defined;
}

// The length of the well-formed UTF-8 character at `s[i]`, 0 if there is none.
size_t CharLength(const std::string& s, size_t i)
{
    const auto u = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const auto cont = [&](size_t k) { return k < s.size() && (u(k) & 0xC0) == 0x80; };
    const unsigned char c = u(i);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c < 0xE0) return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c < 0xF0) {
        if (!cont(i + 1) || !cont(i + 2)) return 0;
        if ((c == 0xE0 && u(i + 1) < 0xA0) || (c == 0xED && u(i + 1) >= 0xA0)) return 0;
        return 3;
    }
    if (c >= 0xF0 && c < 0xF5) {
        if (!cont(i + 1) || !cont(i + 2) || !cont(i + 3)) return 0;
        if ((c == 0xF0 && u(i + 1) < 0x90) || (c == 0xF4 && u(i + 1) >= 0x90)) return 0;
        return 4;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The input as an 8-bit text: there and back.
    std::string expected = bytes;
    for (char& c : expected)
        if (!Defined()[static_cast<unsigned char>(c)]) c = '?';
    const std::string utf8 = Cp1250::ToUtf8(bytes);
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = CharLength(utf8, i);
        if (n == 0) std::abort();  // not UTF-8
        i += n;
    }
    if (Cp1250::FromUtf8(utf8) != expected) std::abort();

    // The input as UTF-8: each well-formed character gives one byte, the
    // same one it gives alone, and that byte reads back as the character.
    std::string ansi;
    bool wellFormed = true;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = CharLength(bytes, i);
        if (n == 0) {
            wellFormed = false;
            break;
        }
        const std::string one = bytes.substr(i, n);
        const std::string b = Cp1250::FromUtf8(one);
        if (b.size() != 1) std::abort();
        if (b != "?" && Cp1250::ToUtf8(b) != one) std::abort();
        ansi += b;
        i += n;
    }
    if (wellFormed && Cp1250::FromUtf8(bytes) != ansi) std::abort();
    if (!wellFormed) {
        const std::string out = Cp1250::FromUtf8(bytes);
        if (out.size() > bytes.size()) std::abort();
    }
    return 0;
}
