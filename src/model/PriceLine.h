#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "model/LineSettings.h"

// One price line: six digits (index 0 the leftmost), flags and product name.
struct PriceLine {
    std::array<uint8_t, 6> Price{};
    LineSettings Conf;
    std::string Name;  // Windows-1250, at most 20 bytes

    bool operator==(const PriceLine&) const = default;
};
