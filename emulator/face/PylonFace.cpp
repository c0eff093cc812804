#include "emulator/face/PylonFace.h"

#include <algorithm>
#include <cmath>

namespace face {

namespace {

// Where the controller keeps each line's five settings and its digits in the
// price block it serves: settings in the order point, blinking, dash, off,
// zeros off; then left, right, sensor, gamma; then 42 digit characters.
constexpr int SettingsOf(int line) { return 5 * line; }
constexpr int LeftByte = 35, RightByte = 36, SensorByte = 37, GammaByte = 38;
constexpr int DigitOf(int line, int position) { return 39 + MaxDigits * line + position; }

constexpr uint8_t Masks[10] = {
    A | B | C | D | E | F,  // 0
    B | C,                  // 1
    A | B | G | E | D,      // 2
    A | B | G | C | D,      // 3
    F | G | B | C,          // 4
    A | F | G | C | D,      // 5
    A | F | G | E | C | D,  // 6
    A | B | C,              // 7
    AllSegments,            // 8
    A | B | C | D | F | G,  // 9
};

// Shows `text` (digits and at most one "."), right-aligned, on `line`.
void ShowText(Face& f, int line, const std::string& text)
{
    int position = MaxDigits - 1;
    bool pointNext = false;
    for (auto c = text.rbegin(); c != text.rend() && position >= 0; ++c) {
        if (*c == '.') {
            pointNext = true;
            continue;
        }
        Cell& cell = f.line[line].cells[position--];
        cell.segments = DigitSegments(*c - '0');
        cell.point = pointNext;
        pointNext = false;
    }
}

void ShowTest(Face& f)
{
    switch (f.test) {
    case 1:  // every segment and every point between the cells
        for (Line& l : f.line)
            for (int k = 0; k < MaxDigits; ++k) l.cells[k] = {AllSegments, k < MaxDigits - 1};
        break;
    case 2:  // each line its address: its number, in the last cell
        for (int L = 0; L < MaxLines; ++L) ShowText(f, L, std::to_string(L + 1));
        break;
    case 3:  // the firmware version on the first line
        ShowText(f, 0, FirmwareText());
        break;
    default: break;
    }
}

void ShowLine(Face& f, const PylonEmulator::State& s, int L)
{
    const uint8_t* settings = s.price.data() + SettingsOf(L);
    const int point = settings[0];
    const bool blinking = settings[1] != 0, dash = settings[2] != 0, off = settings[3] != 0,
               zerosOff = settings[4] != 0;
    Line& line = f.line[L];

    // Off wins over dash, and both leave the point dark, as the price line
    // editor's picture shows them.
    if (off) return;
    line.blinking = blinking;
    if (dash) {
        for (Cell& c : line.cells) c.segments = G;
        return;
    }

    int value[MaxDigits];
    for (int k = 0; k < MaxDigits; ++k) {
        // Digits travel as value + 0x30; what is not a digit, the picture
        // shows dark, except 13, which it shows as a dash. (The picture's
        // point at the lower left of a cell for 11 is a borrowed picture of
        // its own; a seven-segment cell has no such LED.)
        value[k] = uint8_t(s.price[DigitOf(L, k)] - 0x30);
        line.cells[k].segments = value[k] <= 9 ? DigitSegments(value[k]) : value[k] == 13 ? G : 0;
    }

    // `point` digits follow the point; 0 and values above 5 light none.
    if (point >= 1 && point <= 5) line.cells[MaxDigits - 1 - point].point = true;

    // Leading zeros left of the units digit go dark, up to the first digit
    // that is not 0. The walk starts at the first cell the pylon has: a
    // pylon with fewer digits blanks the zeros it shows.
    if (zerosOff && point < 5) {
        for (int k = f.FirstCell(); k <= 4 - point && value[k] == 0; ++k) line.cells[k].segments = 0;
    }
}

}  // namespace

uint8_t DigitSegments(int value) { return value >= 0 && value <= 9 ? Masks[value] : 0; }

Rgb LedColour(bool lit, double intensity)
{
    // The program's picture: lit (255, 24, 16), dark (48, 4, 4).
    constexpr Rgb on{255, 24, 16}, off{48, 4, 4};
    if (!lit) return off;
    const double i = std::clamp(intensity, 0.0, 1.0);
    auto mix = [i](uint8_t a, uint8_t b) { return uint8_t(std::lround(a + (b - a) * i)); };
    return {mix(off.r, on.r), mix(off.g, on.g), mix(off.b, on.b)};
}

double SideIntensity(uint8_t correction, uint8_t noSensor, uint8_t gammaByte)
{
    // The side's correction scales the whole output. Without the light
    // sensor (gamma byte 0) the pylon runs at the no-sensor brightness of
    // that; with it, the output follows the ambient light, and the emulator
    // stands in daylight, where the sensor reads its maximum.
    const double k = std::min(correction, uint8_t(100)) / 100.0;
    return gammaByte == 0 ? k * (std::min(noSensor, uint8_t(100)) / 100.0) : k;
}

bool Face::AnyBlinking() const
{
    for (int L = 0; L < lines; ++L)
        if (line[L].blinking) return true;
    return false;
}

Face Face::InPhase(bool lit) const
{
    Face f = *this;
    if (!lit)
        for (Line& l : f.line)
            if (l.blinking) l.cells = {};
    return f;
}

Face ComputeFace(const PylonEmulator::State& s)
{
    Face f;
    f.lines = std::clamp(s.prices, 1, MaxLines);
    f.digits = std::clamp(s.digits, 1, MaxDigits);
    f.left = SideIntensity(s.price[LeftByte], s.price[SensorByte], s.price[GammaByte]);
    f.right = SideIntensity(s.price[RightByte], s.price[SensorByte], s.price[GammaByte]);
    f.basicFont = s.basicFont;
    f.upperIndex = s.upperIndex;
    f.test = s.test >= 1 && s.test <= 3 ? s.test : 0;

    // While a display test runs it owns the face; the prices come back when
    // the tests end.
    if (f.test) ShowTest(f);
    else
        for (int L = 0; L < MaxLines; ++L) ShowLine(f, s, L);

    // The geometry: lines and cells the pylon does not have stay dark.
    for (int L = 0; L < MaxLines; ++L) {
        for (int k = 0; k < MaxDigits; ++k)
            if (!f.HasCell(L, k)) f.line[L].cells[k] = {};
        if (L >= f.lines) f.line[L].blinking = false;
    }
    return f;
}

std::string FirmwareText()
{
    return std::to_string(LMQ_VERSION_MAJOR) + "." + std::to_string(LMQ_VERSION_MINOR) +
           std::to_string(LMQ_VERSION_PATCH);
}

const char* TestName(int test)
{
    switch (test) {
    case 1: return "switch on all LEDs";
    case 2: return "show addresses";
    case 3: return "show firmware";
    default: return "";
    }
}

std::string Summary(const Face& f)
{
    auto percent = [](double v) { return std::to_string(int(std::lround(v * 100))) + "%"; };
    std::string s = "left " + percent(f.left) + ", right " + percent(f.right);
    // Seven-segment cells have one shape per digit: the fonts change nothing
    // that is lit, so they are only told.
    s += " | basic font " + std::to_string(f.basicFont) + ", upper index " +
         (f.upperIndex ? std::to_string(f.upperIndex) : std::string("none"));
    s += " | " + std::to_string(f.lines) + " prices x " + std::to_string(f.digits) + " digits";
    s += " | test: " + std::string(f.test ? TestName(f.test) : "none");
    return s;
}

}  // namespace face
