#pragma once
#include <cstdint>

// The five display flags of one price line, in memory order (the order of the
// session store's ".PriceConf" value; the file and the wire use another).
struct LineSettings {
    uint8_t PriceBlinking = 0;
    uint8_t PriceOff = 0;
    uint8_t DecimalPoint = 2;  // digits right of the point, 0 = no point
    uint8_t ZerosOff = 0;
    uint8_t PriceDash = 0;

    bool operator==(const LineSettings&) const = default;
};
