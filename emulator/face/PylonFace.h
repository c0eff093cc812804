#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/PylonEmulator.h"

// What the pylon's face lights, computed from what the emulated controller
// holds: the digits block, the line settings block, the brightness bytes,
// the fonts, the geometry and the display test. No drawing here; the text
// and the picture renderings draw a Face.
namespace face {

constexpr int MaxLines = 7;
constexpr int MaxDigits = 6;

// The seven segments of a cell; bit s lights segment s (a top, b upper
// right, c lower right, d bottom, e lower left, f upper left, g middle).
enum Segment : uint8_t { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64, AllSegments = 127 };

// The segments of the digit value 0 to 9.
uint8_t DigitSegments(int value);

// The colour of an LED: lit, red scaled by the side's brightness, down to
// the colour of a dark one, which daylight shows as a dim red.
struct Rgb {
    uint8_t r, g, b;
};
Rgb LedColour(bool lit, double intensity);

struct Cell {
    uint8_t segments = 0;
    bool point = false;  // the decimal point right of this cell
    bool operator==(const Cell&) const = default;
};

struct Line {
    // Position 0 to 5 of the line's digits; only the cells the geometry has
    // (positions MaxDigits - digits .. 5) are ever lit.
    std::array<Cell, MaxDigits> cells{};
    bool blinking = false;
    bool operator==(const Line&) const = default;
};

struct Face {
    int lines = MaxLines;    // price lines the pylon has, 1 to 7
    int digits = MaxDigits;  // digit cells per line, 1 to 6
    std::array<Line, MaxLines> line{};
    // Brightness of the left and the right side, 0 (dark) to 1 (full).
    double left = 1;
    double right = 1;
    int test = 0;  // display test shown, 0 none
    uint8_t basicFont = 3;
    uint8_t upperIndex = 0;

    // The first digit position that has a cell.
    int FirstCell() const { return MaxDigits - digits; }
    bool HasCell(int line, int position) const
    {
        return line >= 0 && line < lines && position >= FirstCell() && position < MaxDigits;
    }
    bool AnyBlinking() const;
    // The face in one half of the blink: in the dark half blinking lines
    // show nothing.
    Face InPhase(bool lit) const;
    bool operator==(const Face&) const = default;
};

// The face for what the controller holds.
Face ComputeFace(const PylonEmulator::State& state);

// The brightness of one side, 0 to 1, from its correction, the brightness
// without the sensor and the gamma byte (0: no sensor).
double SideIntensity(uint8_t correction, uint8_t noSensor, uint8_t gammaByte);

// The emulated controller's firmware version: the program's version text,
// major "." minor and release together ("2.17").
std::string FirmwareText();

// "switch on all LEDs" and the like; "" for 0 and unknown codes.
const char* TestName(int test);
// One line about what the face cannot show by its segments: fonts, geometry,
// the running test, the brightness of both sides.
std::string Summary(const Face& face);

}  // namespace face
