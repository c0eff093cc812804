#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/PriceLine.h"

class PylonConfig;

// One field the pylon holds otherwise than it was sent.
struct ConfigDifference {
    enum class Field {
        Line,    // a price line: its digits, point and flags (`line` 1 to 7)
        Left,    // brightness correction of the left side, percent
        Right,   // brightness correction of the right side, percent
        Sensor,  // brightness without the light sensor, percent
        Gamma,   // the gamma byte: tenths, 0 when gamma is off
        BasicFont,
        UpperIndex,
    };
    Field field = Field::Line;
    int line = 0;  // 1 to 7 for Field::Line, otherwise 0
    // Field::Line: digits and flags (names are not compared); blanks the pylon
    // reports for the zeros it blanks are held as those zeros.
    PriceLine sentLine, heldLine;
    int sent = 0, held = 0;  // the other fields: the byte sent and the byte held

    bool operator==(const ConfigDifference&) const = default;
};

// Compares the configuration that was sent with the one the pylon reports
// back, field by field, over exactly the bytes that travel both ways, and
// words each difference for the progress log.
class ConfigCompare {
public:
    // `sent` is the model as it was sent; `held` the pylon's configuration
    // decoded from its price and font blocks (a scratch model). Empty: the
    // pylon holds what was sent. Lines first (1 to 7), then the brightness
    // block, gamma and the fonts.
    static std::vector<ConfigDifference> Compare(const PylonConfig& sent, const PylonConfig& held);

    // One log line in the current language, such as
    // "Line 3: sent 6.49, pylon holds 6.59".
    static std::string Describe(const ConfigDifference& difference);

    // A price line in plain words: the price as the pylon shows it, with its
    // point and without leading zeros, then the flags that are set
    // ("6.49, blinking"). Digit values outside 0 to 9 appear in brackets.
    static std::string LineText(const PriceLine& line);
};
