#pragma once
#include <string>
#include <vector>

#include "emulator/face/PylonFace.h"

// The face in a terminal: both sides next to each other, each line three
// rows of characters, a cell three columns wide with its point after it:
//
//    _   _       _
//   |_| |_|   | |_|
//    _| |_|.  | |_|
//
// With colour, lit segments are red at their side's brightness (24-bit ANSI
// colours) and dark ones dim; without, dark segments are blanks.
namespace face {

struct TextLayout {
    static constexpr int FirstFaceRow = 2;  // after the brightness heading and a blank row
    static constexpr int RowsPerLine = 4;   // three rows of segments and a blank one
    static constexpr int Margin = 2;
    static constexpr int CellColumns = 4;  // three for the segments, one for the point
    static constexpr int SideColumns = MaxDigits * CellColumns;
    static constexpr int SideGap = 6;

    static int Row(int line) { return FirstFaceRow + RowsPerLine * line; }
    static int Column(int side, int position)
    {
        return Margin + side * (SideColumns + SideGap) + CellColumns * position;
    }
};

// The rows of the face, without line ends; the last row is the summary.
std::vector<std::string> FaceRows(const Face& face, bool colour);

// What redraws `rows` over the previous drawing in a terminal: cursor home,
// each row with the rest of its line cleared, then the rest of the screen.
std::string InPlace(const std::vector<std::string>& rows);

}  // namespace face
