#pragma once
#include <cstdint>

// The font block of the pylon; stored neither in files nor in the session.
struct K_FONT_CONF {
    uint8_t BasicFont = 3;   // 0 to 9
    uint8_t UpperIndex = 0;  // 0 none, 1 or 2

    bool operator==(const K_FONT_CONF&) const = default;
};
