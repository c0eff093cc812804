#include "emulator/face/FaceText.h"

#include <cmath>
#include <cstdio>

namespace face {

namespace {

// One character of the grid with the LED it stands for, if any.
struct Glyph {
    char c = ' ';
    bool led = false;
    bool lit = false;
    double intensity = 0;
};

using Grid = std::vector<std::vector<Glyph>>;

// Row and column inside a cell of each segment, and its character.
struct SegmentPlace {
    uint8_t segment;
    int row, column;
    char c;
};
constexpr SegmentPlace Places[7] = {
    {A, 0, 1, '_'}, {F, 1, 0, '|'}, {G, 1, 1, '_'}, {B, 1, 2, '|'}, {E, 2, 0, '|'}, {D, 2, 1, '_'}, {C, 2, 2, '|'},
};

void Put(Grid& g, int row, int column, char c, bool lit, double intensity)
{
    g[row][column] = {c, true, lit, intensity};
}

void PutText(Grid& g, int row, int column, const std::string& text)
{
    for (char c : text) g[row][column++].c = c;
}

std::string Colour(const Rgb& c)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "\x1b[38;2;%u;%u;%um", c.r, c.g, c.b);
    return buf;
}

std::string RowText(const std::vector<Glyph>& row, bool colour)
{
    std::string s, current;
    for (const Glyph& g : row) {
        if (!colour) {
            s += g.led && !g.lit ? ' ' : g.c;
            continue;
        }
        const std::string want = g.led ? Colour(LedColour(g.lit, g.intensity)) : std::string("\x1b[39m");
        if (want != current) s += current = want;
        s += g.c;
    }
    if (!colour) s.erase(s.find_last_not_of(' ') + 1);
    else if (!current.empty()) s += "\x1b[0m";
    return s;
}

}  // namespace

std::vector<std::string> FaceRows(const Face& f, bool colour)
{
    using T = TextLayout;
    const int width = T::Column(2, 0);
    Grid g(T::Row(MaxLines) + 1, std::vector<Glyph>(width));

    auto percent = [](double v) { return std::to_string(int(std::lround(v * 100))) + "%"; };
    PutText(g, 0, T::Column(0, 0), "left side " + percent(f.left));
    PutText(g, 0, T::Column(1, 0), "right side " + percent(f.right));

    for (int side = 0; side < 2; ++side) {
        const double intensity = side ? f.right : f.left;
        for (int L = 0; L < f.lines; ++L) {
            for (int k = f.FirstCell(); k < MaxDigits; ++k) {
                const Cell& cell = f.line[L].cells[k];
                const int row = T::Row(L), column = T::Column(side, k);
                for (const SegmentPlace& p : Places)
                    Put(g, row + p.row, column + p.column, p.c, cell.segments & p.segment, intensity);
                if (k < MaxDigits - 1) Put(g, row + 2, column + 3, '.', cell.point, intensity);
            }
        }
    }

    std::vector<std::string> rows;
    for (int r = 0; r < T::Row(f.lines); ++r) rows.push_back(RowText(g[r], colour));
    rows.push_back(std::string(T::Margin, ' ') + Summary(f));
    return rows;
}

std::string InPlace(const std::vector<std::string>& rows)
{
    std::string s = "\x1b[H";
    for (const std::string& row : rows) s += row + "\x1b[K\n";
    return s + "\x1b[J";
}

}  // namespace face
