#pragma once
#include <QImage>
#include <QPointF>
#include <QRect>
#include <string>

#include "emulator/face/PylonFace.h"

// The face as a picture: the left and the right side of the pylon next to
// each other, black boards in a dark cabinet, each line a row of red
// seven-segment cells drawn like the program's price line picture (cells of
// 30 x 48 every 41 pixels, the point between two cells).
namespace face {

struct ImageLayout {
    static constexpr int CellWidth = 30, CellHeight = 48;
    static constexpr int CellPitch = 41;
    static constexpr int LineHeight = 72;
    static constexpr int BoardWidth = 243, BoardHeight = MaxLines * LineHeight;
    static constexpr int Margin = 12, SideGap = 24;
    static constexpr int Width = 2 * Margin + 2 * BoardWidth + SideGap;
    static constexpr int Height = 2 * Margin + BoardHeight;

    static QRect Board(int side);
    // The cell of digit `position` (0 to 5) of `line` on `side` (0 left, 1 right).
    static QRect CellRect(int side, int line, int position);
    // The middle of segment a (0) to g (6) in a cell.
    static QPointF SegmentCentre(int segment);
    // The middle of the point right of the cell.
    static QPointF PointCentre(int side, int line, int position);
};

QImage RenderFace(const Face& face);

// Writes the picture as a PNG (the summary goes into its "Description"
// text), replacing the file in one step; false when it cannot.
bool WriteFacePng(const Face& face, const std::string& path);

}  // namespace face
