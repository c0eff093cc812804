#pragma once
// The sample configuration of the README's pictures: the program's main
// window (LumarqPylonScreenshot) and the emulator's face after that
// configuration was sent to it.
#include "model/Cp1250.h"
#include "model/PylonConfig.h"

namespace sample {

struct Line {
    const char* name;
    const char* digits;  // six, leftmost first
    int point;
    bool zerosOff, blinking, dash, off;
};

inline constexpr Line Lines[7] = {
    {"Pb95", "000649", 2, true, false, false, false},   {"Pb98", "000719", 2, true, false, false, false},
    {"ON", "000659", 2, true, false, false, false},     {"LPG", "000309", 2, true, true, false, false},
    {"ON TIR", "000000", 2, false, false, true, false}, {"Car wash", "001500", 2, true, false, false, true},
    {"EUR", "004321", 4, false, false, false, false},
};

inline void Fill(PylonConfig& m)
{
    for (int L = 0; L < 7; ++L) {
        const Line& s = Lines[L];
        PriceLine& line = m.Prices[L];
        line.Name = Cp1250::FromUtf8(s.name);
        for (int k = 0; k < 6; ++k) line.Price[k] = uint8_t(s.digits[k] - '0');
        line.Conf.DecimalPoint = uint8_t(s.point);
        line.Conf.ZerosOff = s.zerosOff;
        line.Conf.PriceBlinking = s.blinking;
        line.Conf.PriceDash = s.dash;
        line.Conf.PriceOff = s.off;
    }
}

}  // namespace sample
