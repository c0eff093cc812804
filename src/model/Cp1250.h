#pragma once
#include <string>

// The model, the configuration file and the wire carry 8-bit texts in the
// Windows-1250 code page; the interface and the per-user store speak UTF-8.
// A character that the code page lacks becomes "?".
class Cp1250 {
public:
    static std::string ToUtf8(const std::string& ansi);
    static std::string FromUtf8(const std::string& utf8);
    // Cuts an 8-bit text to at most `width` bytes (every byte is one character).
    static std::string Fit(const std::string& ansi, size_t width);
};
