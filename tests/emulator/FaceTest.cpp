// The pylon's face for each line setting, read back from both renderings:
// the picture by its pixels, the terminal text by its characters.
#include <gtest/gtest.h>

#include <QImage>

#include "comm/Frames.h"
#include "emulator/face/FaceImage.h"
#include "emulator/face/FaceText.h"
#include "emulator/face/PylonFace.h"
#include "model/PylonConfig.h"
#include "support/TempDir.h"

using namespace face;

namespace {

// A face line written as its cells: a digit, " " dark, "-" a dash, "8" all
// segments; "." after a cell is its lit point. Cells the geometry lacks are
// left out.
char CellChar(uint8_t segments)
{
    if (segments == 0) return ' ';
    if (segments == G) return '-';
    for (int v = 0; v <= 9; ++v)
        if (DigitSegments(v) == segments) return char('0' + v);
    return '?';
}

std::string Describe(const Face& f, int L)
{
    std::string s;
    for (int k = f.FirstCell(); k < MaxDigits; ++k) {
        s += CellChar(f.line[L].cells[k].segments);
        if (f.line[L].cells[k].point) s += '.';
    }
    return s;
}

bool Lit(QRgb c) { return qRed(c) > 128; }

std::string DescribeImage(const QImage& image, const Face& f, int side, int L)
{
    std::string s;
    for (int k = f.FirstCell(); k < MaxDigits; ++k) {
        const QPoint origin = ImageLayout::CellRect(side, L, k).topLeft();
        uint8_t mask = 0;
        for (int seg = 0; seg < 7; ++seg)
            if (Lit(image.pixel((origin + ImageLayout::SegmentCentre(seg)).toPoint()))) mask |= uint8_t(1 << seg);
        s += CellChar(mask);
        if (k < MaxDigits - 1 && Lit(image.pixel(ImageLayout::PointCentre(side, L, k).toPoint()))) s += '.';
    }
    return s;
}

std::string DescribeText(const std::vector<std::string>& rows, const Face& f, int side, int L)
{
    auto at = [&](int r, int c) {
        const std::string& row = rows[size_t(TextLayout::Row(L) + r)];
        return size_t(c) < row.size() ? row[size_t(c)] : ' ';
    };
    const struct {
        uint8_t segment;
        int r, c;
    } places[7] = {{A, 0, 1}, {F, 1, 0}, {G, 1, 1}, {B, 1, 2}, {E, 2, 0}, {D, 2, 1}, {C, 2, 2}};
    std::string s;
    for (int k = f.FirstCell(); k < MaxDigits; ++k) {
        const int col = TextLayout::Column(side, k);
        uint8_t mask = 0;
        for (const auto& p : places)
            if (at(p.r, col + p.c) != ' ') mask |= p.segment;
        s += CellChar(mask);
        if (at(2, col + 3) == '.') s += '.';
    }
    return s;
}

// Line 1 as the face, the picture (both sides) and the text show it.
void ExpectLine(const Face& f, int L, const std::string& expected, const std::string& what)
{
    const QImage image = RenderFace(f);
    const auto rows = FaceRows(f, false);
    EXPECT_EQ(Describe(f, L), expected) << what;
    EXPECT_EQ(DescribeImage(image, f, 0, L), expected) << what << " (left side picture)";
    EXPECT_EQ(DescribeImage(image, f, 1, L), expected) << what << " (right side picture)";
    EXPECT_EQ(DescribeText(rows, f, 0, L), expected) << what << " (text)";
    EXPECT_EQ(DescribeText(rows, f, 1, L), expected) << what << " (text, right side)";
}

PylonEmulator::State StateOf(const PylonConfig& m)
{
    PylonEmulator::State s;
    const Frames::PriceBlock block = Frames::MakePriceBlock(m);
    std::copy(block.begin(), block.begin() + 81, s.price.begin());
    s.basicFont = m.FontConf.BasicFont;
    s.upperIndex = m.FontConf.UpperIndex;
    return s;
}

struct LineCase {
    const char* what;
    const char* digits;  // digit values as characters, "=" is 13 and ":" 10
    int point;
    bool blink, dash, off, zeros;
    const char* lit;   // in the lit half of the blink
    const char* dark;  // in the dark half
};

const LineCase LineCases[] = {
    {"plain price", "000649", 2, false, false, false, false, "0006.49", "0006.49"},
    {"leading zeros removed", "000649", 2, false, false, false, true, "   6.49", "   6.49"},
    {"removal stops at the first digit that is not 0", "100649", 2, false, false, false, true, "1006.49", "1006.49"},
    {"removal keeps the units digit", "000000", 0, false, false, false, true, "     0", "     0"},
    {"removal has no range with five decimals", "000000", 5, false, false, false, true, "0.00000", "0.00000"},
    {"removal stops at the point", "000012", 3, false, false, false, true, "  0.012", "  0.012"},
    {"no point", "123456", 0, false, false, false, false, "123456", "123456"},
    {"one decimal", "123456", 1, false, false, false, false, "12345.6", "12345.6"},
    {"three decimals", "123456", 3, false, false, false, false, "123.456", "123.456"},
    {"four decimals", "123456", 4, false, false, false, false, "12.3456", "12.3456"},
    {"five decimals", "123456", 5, false, false, false, false, "1.23456", "1.23456"},
    {"a point out of range lights none", "123456", 7, false, false, false, false, "123456", "123456"},
    {"dash: middle segments, no point", "123456", 2, false, true, false, false, "------", "------"},
    {"dash wins over zero removal", "000649", 2, false, true, false, true, "------", "------"},
    {"off: nothing lit", "123456", 2, false, false, true, false, "      ", "      "},
    {"off wins over dash", "123456", 2, false, true, true, false, "      ", "      "},
    {"blinking price", "000649", 2, true, false, false, true, "   6.49", "      "},
    {"blinking dash", "000000", 2, true, true, false, false, "------", "      "},
    {"values that are no digit", "1=:456", 2, false, false, false, true, "1- 4.56", "1- 4.56"},
};

}  // namespace

TEST(Face, ShowsEachLineSettingInBothRenderings)
{
    for (const LineCase& c : LineCases) {
        PylonConfig m;
        PriceLine& line = m.Prices[0];
        for (int k = 0; k < 6; ++k) line.Price[k] = uint8_t(c.digits[k] - '0');
        line.Conf = {uint8_t(c.blink), uint8_t(c.off), uint8_t(c.point), uint8_t(c.zeros), uint8_t(c.dash)};
        const Face f = ComputeFace(StateOf(m));
        EXPECT_EQ(f.AnyBlinking(), c.blink && !c.off) << c.what;
        ExpectLine(f.InPhase(true), 0, c.lit, c.what);
        ExpectLine(f.InPhase(false), 0, c.dark, std::string(c.what) + ", dark half");
        // The other lines keep the defaults: six zeros, two decimals.
        EXPECT_EQ(Describe(f.InPhase(false), 1), "0000.00") << c.what;
    }
}

TEST(Face, DisplayTestsOwnTheFaceWhileTheyRun)
{
    PylonConfig m;
    m.Prices[0].Conf.PriceOff = 1;
    m.Prices[1].Conf.PriceBlinking = 1;
    const struct {
        int test;
        std::vector<std::string> lines;
    } cases[] = {
        {1, std::vector<std::string>(7, "8.8.8.8.8.8")},
        {2, {"     1", "     2", "     3", "     4", "     5", "     6", "     7"}},
        {3, {"   2.17", "      ", "      ", "      ", "      ", "      ", "      "}},
        {0, {"      ", "0000.00", "0000.00", "0000.00", "0000.00", "0000.00", "0000.00"}},
        {4, {"      ", "0000.00", "0000.00", "0000.00", "0000.00", "0000.00", "0000.00"}},
    };
    for (const auto& c : cases) {
        PylonEmulator::State s = StateOf(m);
        s.test = c.test;
        const Face f = ComputeFace(s);
        EXPECT_EQ(f.AnyBlinking(), c.test == 0 || c.test > 3) << "test " << c.test;
        for (int L = 0; L < 7; ++L) ExpectLine(f, L, c.lines[size_t(L)], "test " + std::to_string(c.test));
    }
}

TEST(Face, GeometryLimitsTheLinesAndCellsDrawn)
{
    PylonConfig m;
    for (int L = 0; L < 7; ++L) {
        const char* digits = L == 1 ? "100649" : "000649";
        for (int k = 0; k < 6; ++k) m.Prices[L].Price[k] = uint8_t(digits[k] - '0');
        m.Prices[L].Conf.ZerosOff = 1;
    }
    m.Prices[2].Conf.DecimalPoint = 5;  // the point sits after a cell the pylon lacks
    PylonEmulator::State s = StateOf(m);
    s.prices = 3;
    s.digits = 4;
    const Face f = ComputeFace(s);
    ASSERT_EQ(f.lines, 3);
    ASSERT_EQ(f.FirstCell(), 2);
    // The zeros the pylon shows are blanked, whatever the hidden digits hold.
    ExpectLine(f, 0, " 6.49", "four digits");
    ExpectLine(f, 1, " 6.49", "hidden digit not 0");
    ExpectLine(f, 2, "0649", "point before the first cell");

    const QImage image = RenderFace(f);
    const QPointF a = ImageLayout::SegmentCentre(0);
    auto pixel = [&](int line, int cell) {
        return image.pixel((ImageLayout::CellRect(0, line, cell).topLeft() + a).toPoint());
    };
    EXPECT_EQ(pixel(0, 1), qRgb(0, 0, 0)) << "a missing cell is not drawn";
    EXPECT_EQ(pixel(3, 5), qRgb(0, 0, 0)) << "a missing line is not drawn";
    EXPECT_EQ(pixel(0, 2), qRgb(48, 4, 4)) << "a dark cell shows its unlit segments";
    EXPECT_EQ(FaceRows(f, false).size(), size_t(TextLayout::Row(3) + 1)) << "the text ends after line 3";

    // Out-of-range geometry is held to the face the pylon has.
    s.prices = 0;
    s.digits = 9;
    EXPECT_EQ(ComputeFace(s).lines, 1);
    EXPECT_EQ(ComputeFace(s).digits, 6);
}

TEST(Face, BrightnessOfEachSide)
{
    const struct {
        uint8_t correction, noSensor, gamma;
        double intensity;
    } cases[] = {
        {100, 80, 0, 0.8},                      // no sensor: the no-sensor brightness, corrected
        {50, 80, 0, 0.4},   {50, 80, 22, 0.5},  // with the sensor: daylight, the correction alone
        {255, 255, 0, 1.0}, {0, 80, 0, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(SideIntensity(c.correction, c.noSensor, c.gamma), c.intensity)
            << int(c.correction) << " " << int(c.noSensor) << " " << int(c.gamma);

    PylonConfig m;
    m.Conf = {100, 25, 100, 22};
    const Face f = ComputeFace(StateOf(m));
    const QImage image = RenderFace(f);
    auto lit = [&](int side) {
        return image.pixel((ImageLayout::CellRect(side, 0, 5).topLeft() + ImageLayout::SegmentCentre(0)).toPoint());
    };
    EXPECT_EQ(lit(0), qRgb(255, 24, 16));
    EXPECT_EQ(lit(1), qRgb(100, 9, 7));  // a quarter of the way from unlit to lit
    const std::string text = FaceRows(f, true)[size_t(TextLayout::Row(0))];
    EXPECT_NE(text.find("\x1b[38;2;255;24;16m"), std::string::npos);
    EXPECT_NE(text.find("\x1b[38;2;100;9;7m"), std::string::npos);
    EXPECT_EQ(FaceRows(f, false)[size_t(TextLayout::Row(0))].find('\x1b'), std::string::npos);
    EXPECT_EQ(Summary(f), "left 100%, right 25% | basic font 3, upper index none | 7 prices x 6 digits | test: none");
}

TEST(Face, PngIsThePictureWithItsSummary)
{
    TempDir dir;
    PylonConfig m;
    m.FontConf = {7, 2};
    PylonEmulator::State s = StateOf(m);
    s.test = 2;
    const Face f = ComputeFace(s);
    ASSERT_TRUE(WriteFacePng(f, dir.File("face.png")));
    const QImage back(QString::fromStdString(dir.File("face.png")));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), RenderFace(f));
    EXPECT_EQ(back.text("Description").toStdString(),
              "left 80%, right 80% | basic font 7, upper index 2 | 7 prices x 6 digits | test: show addresses");
    EXPECT_FALSE(WriteFacePng(f, dir.File("no/such/folder/face.png")));
}
