#pragma once
#include <cstdint>
#include <QPoint>

#include "ui/dialogs/BgrColor.h"

class QImage;

// Margins and colours of one brightness chart. Colours are 0xBBGGRR, blue in
// the high byte.
struct ChartStyle {
    int32_t LeftMargin = 20;   // x of the vertical axis; labels sit left of it
    int32_t RightMargin = 5;   // right frame line, from the right edge
    int32_t TopMargin = 5;     // y of the top frame line
    int32_t BottomMargin = 5;  // horizontal axis, from the bottom edge
    int32_t AxisColor = 0xFFFFFF;
    int32_t CurveColor = 0x0080FF;
    int32_t LinearColor = 0x0000FF;
    int32_t SensorLineColor = 0x444444;
    int32_t LevelLineColor = 0x444444;
    int32_t MarkerColor = 0x00FFFF;
    int32_t TextColor = 0xFFFFFF;
};

// What one drawing put where: the heights above the horizontal axis of the
// no-sensor point and of the level line, and the two labels with their
// top-left corners.
struct ChartDrawing {
    int NoSensorHeight = 0;     // d
    int LevelHeight = 0;        // e
    int NoSensorPercent = 0;    // brightness without sensor, percent of full output
    int CorrectionPercent = 0;  // the side's correction, percent
    QPoint NoSensorPercentAt;
    QPoint CorrectionPercentAt;
};

// Paints the transfer chart of one pylon side on `image` (its whole size):
// input 0..255 across, output 0..255 upwards. `attenuation` is 100 minus the
// side's correction in percent, `noSensor` the brightness used without the
// light sensor in percent; with `curveOn` the gamma curve is drawn scaled to
// the side's correction. The pixel rows and label numbers follow the pylon's
// own fixed-point habits: extended precision, every conversion truncated.
ChartDrawing DrawBrightnessChart(const ChartStyle& style, QImage& image, float attenuation, int noSensor, float gamma,
                                 bool curveOn);
