#pragma once
#include <cstdint>

// The font block of the pylon; stored neither in files nor in the session.
struct FontSettings {
    uint8_t BasicFont = 3;   // 0 to 9
    uint8_t UpperIndex = 0;  // 0 none, 1 or 2

    bool operator==(const FontSettings&) const = default;
};
