#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "model/K_PRICE_CONF.h"

// One price line: six digits (index 0 the leftmost), flags and product name.
struct K_PRICE {
    std::array<uint8_t, 6> Price{};
    K_PRICE_CONF Conf;
    std::string Name;  // Windows-1250, at most 20 bytes

    bool operator==(const K_PRICE&) const = default;
};
