#pragma once
#include <optional>
#include <string>
#include <vector>

#include "model/PylonConfig.h"

// What `pylonctl set` changes in one price line; unset fields stay as they are.
struct LineEdit {
    int line = 0;                       // 1 to 7 as the operator counts
    std::optional<std::string> price;   // "6.49": digits at the line's point (or `point`)
    std::optional<std::string> digits;  // "000649": the six digits as they stand
    std::optional<int> point;           // digits after the decimal point, 0 to 5
    std::optional<std::string> name;    // UTF-8
    std::optional<bool> off, dash, blink, zerosOff;
};

// The changes of a whole `set` call.
struct Edits {
    std::vector<LineEdit> lines;
    std::optional<std::string> brightness;  // "L,R,S" in percent
    std::optional<std::string> gamma;       // "2.2"
    bool noGamma = false;
};

// Applies the edits to `model` through the price line editor, as an operator
// at the window would make them: each line's off, dash and leading-zero boxes
// are cleared while its point, digits and name change, then set as asked.
// What the window cannot hold is refused before anything changes: the result
// is empty then, otherwise one line saying what is wrong.
std::string ApplyEdits(PylonConfig& model, const Edits& edits);

// The price a line's digits and point read as ("0006.49" -> "6.49", point 0: "649").
std::string PriceText(const PriceLine& line);
// What the sign lights on a line: digits, blanks for removed leading zeros and a
// switched-off line, dashes, and the point when it is lit ("  6.49", "------").
std::string DisplayText(const PriceLine& line);
