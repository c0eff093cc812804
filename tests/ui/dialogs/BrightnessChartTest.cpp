// The brightness chart, judged on the pixels it leaves in the image: where
// the level line, the no-sensor line and its marker, the curve and the
// diagonal land, and what the two labels read.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "ui/dialogs/BrightnessChart.h"

namespace {

constexpr int W = 284, H = 269, L = 20, R = 5, T = 5, B = 5;
constexpr int Axis = H - B;  // 264

const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(0x44, 0x44, 0x44);
const QRgb Orange = qRgb(255, 128, 0);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Yellow = qRgb(255, 255, 0);

struct Chart {
    QImage image{W, H, QImage::Format_RGB32};
    ChartDrawing drawn;
    Chart(float attenuation, int noSensor, float gamma = 2.2f, bool curveOn = true)
    {
        image.fill(Qt::magenta);  // whatever was there before must go
        drawn = DrawBrightnessChart(ChartStyle(), image, attenuation, noSensor, gamma, curveOn);
    }
    QRgb At(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
    bool Is(int x, int y, QRgb c) const { return At(x, y) == (c & 0xFFFFFF); }
};

// Rows holding grey pixels at the right end of the plotting area, where only
// the level line reaches.
std::vector<int> LevelRows(const Chart& c)
{
    std::vector<int> rows;
    for (int y = 0; y < H; ++y) {
        int grey = 0;
        for (int x = W - R - 12; x < W - R; ++x) grey += c.Is(x, y, Grey);
        if (grey > 0) rows.push_back(y);
    }
    return rows;
}

// The yellow run through (x, y) along one axis.
int YellowRun(const Chart& c, int x, int y, int dx, int dy)
{
    int n = 0;
    for (int i = -8; i <= 8; ++i) {
        const int px = x + i * dx, py = y + i * dy;
        if (px >= 0 && py >= 0 && px < W && py < H && c.Is(px, py, Yellow)) ++n;
    }
    return n;
}

// The two labels as the chart's canvas font renders them, alone on black,
// at the places the chart's layout gives them (right-aligned 2 pixels left of
// the axis); every pixel of that picture must be the same in the chart, apart
// from the frame rows and the marker that may cross the labels.
void ExpectLabels(const Chart& c, int value1, int top1, int value2, int top2, QPoint marker)
{
    QImage ref(W, H, QImage::Format_RGB32);
    ref.fill(Qt::black);
    QPainter p(&ref);
    QFont f = p.font();
    f.setPointSize(8);
    p.setFont(f);
    p.setPen(Qt::white);
    const QFontMetrics m(f, &ref);
    for (auto [value, top] : {std::pair{value1, top1}, std::pair{value2, top2}}) {
        const QString text = QString::number(value);
        p.drawText(QPoint(L - m.horizontalAdvance(text) - 2, top + m.ascent()), text);
    }
    p.end();
    int lit = 0, mismatched = 0;
    for (int y = 0; y < H; ++y) {
        if (y == T || y == Axis) continue;
        for (int x = 0; x < L; ++x) {
            const QRgb want = ref.pixel(x, y) & 0xFFFFFF;
            if (want != Black) ++lit;
            if (std::abs(x - marker.x()) <= 2 && std::abs(y - marker.y()) <= 2) continue;
            if (want != c.At(x, y)) ++mismatched;
        }
    }
    EXPECT_GT(lit, 8) << "the labels light nothing";
    EXPECT_EQ(mismatched, 0) << "labels " << value1 << " at " << top1 << ", " << value2 << " at " << top2;
}

struct Case {
    float attenuation;
    int noSensor;
    int d, e, label1, label2;
    int label2Top;  // trunc(attenuation x 2.55) + T - 6
};

class ChartCases : public ::testing::TestWithParam<Case> {};

TEST_P(ChartCases, LinesMarkerAndLabelsLandOnTheirPixels)
{
    const Case k = GetParam();
    Chart c(k.attenuation, k.noSensor);

    // The level line: one row only, dotted three on three off, stopping
    // short of the right frame line.
    const std::vector<int> rows = LevelRows(c);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Axis - k.e);
    const int level = rows[0];
    EXPECT_TRUE(c.Is(W - R, level, White));
    EXPECT_TRUE(c.Is(W - R - 1, level, Grey) || c.Is(W - R - 1, level, Black));
    int x = W - R - 60;
    while (!(c.Is(x, level, Black) && c.Is(x + 1, level, Grey))) ++x;
    ++x;
    int run = 0;
    while (c.Is(x + run, level, Grey)) ++run;
    EXPECT_EQ(run, 3);
    int gap = 0;
    while (c.Is(x + run + gap, level, Black)) ++gap;
    EXPECT_EQ(gap, 3);

    // The marker: a dot five pixels across on the no-sensor point.
    const int mx = L + k.d, my = Axis - k.d;
    EXPECT_TRUE(c.Is(mx, my, Yellow));
    EXPECT_EQ(YellowRun(c, mx, my, 1, 0), 5);
    EXPECT_EQ(YellowRun(c, mx, my, 0, 1), 5);

    // The no-sensor line runs from the axis to the marker, nowhere else.
    if (k.d >= 8) {
        EXPECT_TRUE(c.Is(L, my, Grey));  // its first pixel lies on the axis
        int greyOnRow = 0;
        for (int px = L; px < mx - 2; ++px) greyOnRow += c.Is(px, my, Grey);
        EXPECT_GT(greyOnRow, 0);
        for (int px = mx + 3; px < W - R - 12; ++px)
            if (my != level) {
                EXPECT_FALSE(c.Is(px, my, Grey)) << px;
            }
    }

    EXPECT_EQ(c.drawn.NoSensorPercent, k.label1);
    EXPECT_EQ(c.drawn.CorrectionPercent, k.label2);
    ExpectLabels(c, k.label1, Axis - k.d - 6, k.label2, k.label2Top, QPoint(mx, my));
}

INSTANTIATE_TEST_SUITE_P(Brightness, ChartCases,
                         ::testing::Values(Case{0, 100, 254, 254, 100, 100, -1},  // 100 x 2.55 falls short of 255
                                           Case{50, 80, 101, 127, 40, 50, 126},
                                           Case{20, 80, 163, 203, 63, 80, 49},  // 0.8 in extended is a little less
                                           Case{70, 30, 22, 76, 8, 30, 177}, Case{0, 80, 203, 254, 80, 100, -1},
                                           Case{99, 1, 0, 2, 0, 1, 251}),  // the marker sits on the origin
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return "Attenuation" + std::to_string(int(info.param.attenuation)) + "NoSensor" +
                                    std::to_string(info.param.noSensor);
                         });

TEST(BrightnessChart, FrameAxesAndDiagonal)
{
    Chart c(20, 80);
    for (int y = 0; y < H; ++y) EXPECT_TRUE(c.Is(W - R, y, White)) << y;
    for (int px = 0; px < W; ++px) {
        EXPECT_TRUE(c.Is(px, T, White) || px == L) << px;
    }
    // The bottom axis, where the curve's first points do not lie on it.
    for (int px = L + 40; px < W; ++px) EXPECT_TRUE(c.Is(px, Axis, White)) << px;
    // The left axis, but for the first pixels of the two dotted lines and the marker.
    for (int y = T + 1; y < Axis; ++y) {
        if (y == Axis - 203 || y == Axis - 163) continue;
        EXPECT_TRUE(c.Is(L, y, White)) << y;
    }
    // The diagonal from just inside the origin to the top right corner,
    // which it leaves to the frame.
    // (The marker at (183, 101) covers it where they cross.)
    for (int j = 0; j < (W - R) - (L + 1); ++j)
        if (j < 159 || j > 165) {
            EXPECT_TRUE(c.Is(L + 1 + j, Axis - 1 - j, Red)) << j;
        }
    EXPECT_TRUE(c.Is(W - R, T, White));
    // Outside the frame lines the image is black.
    EXPECT_TRUE(c.Is(W - 2, 2, Black));
    EXPECT_TRUE(c.Is(W - 2, H - 2, Black));
    EXPECT_FALSE(c.Is(W - 2, H - 2, qRgb(255, 0, 255)));
}

TEST(BrightnessChart, NoCurveWithoutTheSensor)
{
    Chart off(20, 80, 2.2f, false);
    Chart on(20, 80, 2.2f, true);
    int orangeOff = 0, orangeOn = 0, beyond = 0;
    for (int y = 0; y < H; ++y)
        for (int px = 0; px < W; ++px) {
            orangeOff += off.Is(px, y, Orange);
            if (on.Is(px, y, Orange)) {
                ++orangeOn;
                if (px < L + 1 || px > L + 254) ++beyond;
            }
        }
    EXPECT_EQ(orangeOff, 0);
    EXPECT_GT(orangeOn, 200);
    EXPECT_EQ(beyond, 0);  // the last point, at x = 275, is the end pixel left out
    // Everything else is the same in both.
    EXPECT_EQ(LevelRows(off), LevelRows(on));
    EXPECT_TRUE(off.Is(L + 163, Axis - 163, Yellow));
    // A gamma of 2.2 bends the curve below the diagonal: at mid input it is
    // near the bottom.
    int midTop = H;
    for (int y = 0; y < H; ++y)
        if (on.Is(L + 128, y, Orange)) midTop = std::min(midTop, y);
    EXPECT_GT(midTop, Axis - 60);
}

TEST(BrightnessChart, GammaOneFollowsTheStraightLineToTheLevel)
{
    // With gamma 1 the curve runs from the start point to the level line's
    // end at x = L + 255, each height truncated.
    Chart c(50, 80, 1.0f, true);
    const double x0 = L + 1, y0 = Axis - 1, x1 = L + 255, y1 = Axis - 127;
    int columnsWithCurve = 0;
    for (int px = L + 1; px <= L + 254; ++px) {
        bool found = false;
        for (int y = 0; y < H; ++y) {
            if (!c.Is(px, y, Orange)) continue;
            found = true;
            const double lineY = y0 + (y1 - y0) * (px - x0) / (x1 - x0);
            EXPECT_NEAR(y, lineY, 1.5) << "x " << px;
        }
        columnsWithCurve += found;
    }
    EXPECT_GE(columnsWithCurve, 250);
    // Its last drawn column meets the level line.
    bool nearLevel = false;
    for (int y = Axis - 128; y <= Axis - 126; ++y) nearLevel = nearLevel || c.Is(L + 254, y, Orange);
    EXPECT_TRUE(nearLevel);
}

TEST(BrightnessChart, StyleDefaultsAndColourOrder)
{
    const ChartStyle s;
    EXPECT_EQ(s.LeftMargin, 20);
    EXPECT_EQ(s.RightMargin, 5);
    EXPECT_EQ(s.TopMargin, 5);
    EXPECT_EQ(s.BottomMargin, 5);
    // 0xBBGGRR: the curve's 0x0080FF is red 255, green 128.
    EXPECT_EQ(ColorFromBgr(s.CurveColor), QColor(255, 128, 0));
    EXPECT_EQ(ColorFromBgr(0xF1AB7C), QColor(0x7C, 0xAB, 0xF1));
}

TEST(BrightnessChart, OtherMarginsMoveTheAxes)
{
    ChartStyle s;
    s.LeftMargin = 30;
    s.BottomMargin = 10;
    QImage img(300, 280, QImage::Format_RGB32);
    DrawBrightnessChart(s, img, 0, 100, 2.2f, false);
    EXPECT_EQ(img.pixel(30, 100) & 0xFFFFFF, White & 0xFFFFFF);
    EXPECT_EQ(img.pixel(150, 270) & 0xFFFFFF, White & 0xFFFFFF);
    // Full output: the marker 254 pixels up and right of the new origin.
    EXPECT_EQ(img.pixel(30 + 254, 270 - 254) & 0xFFFFFF, Yellow & 0xFFFFFF);
}

}  // namespace
