#include "comm/IPv4.h"

std::optional<uint32_t> ParseIPv4(const std::string& text)
{
    uint32_t address = 0;
    size_t i = 0;
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (i >= text.size() || text[i] != '.') return std::nullopt;
            ++i;
        }
        int value = 0, digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            value = value * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || value > 255) return std::nullopt;
        address = address << 8 | uint32_t(value);
    }
    if (i != text.size()) return std::nullopt;
    return address;
}

std::string FormatIPv4(uint32_t address)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24) text += '.';
        text += std::to_string((address >> shift) & 0xFF);
    }
    return text;
}
