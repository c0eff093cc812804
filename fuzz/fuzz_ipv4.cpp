// Any text as a pylon's address: an address text that is accepted formats to
// a text that reads as the same address, and to itself when it carries no
// leading zeros; every address formats to a text that is accepted.
#include <cstdlib>
#include <cstring>
#include <string>

#include "comm/IPv4.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto address = ParseIPv4(text)) {
        const std::string shortest = FormatIPv4(*address);
        if (ParseIPv4(shortest) != address) std::abort();
        bool leadingZero = false;
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '0' && (i == 0 || text[i - 1] == '.') && text[i + 1] != '.') leadingZero = true;
        if (!leadingZero && shortest != text) std::abort();
        if (leadingZero && shortest == text) std::abort();
    }
    if (size >= 4) {
        uint32_t any;
        std::memcpy(&any, data, 4);
        if (ParseIPv4(FormatIPv4(any)) != any) std::abort();
    }
    return 0;
}
