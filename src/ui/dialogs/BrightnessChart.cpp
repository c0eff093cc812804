#include "ui/dialogs/BrightnessChart.h"

#include <cmath>
#include <cstdlib>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

// The arithmetic runs in x87 extended precision with the constants in the
// widths the pylon's original charts used; 2.55 is the double nearest to it,
// a little below, which is why full output plots at 254 and not 255.
using Extended = long double;
constexpr float Hundred = 100.0f;
constexpr Extended Hundredth = 0.01L;
constexpr Extended OneBy255 = 1.0L / 255.0L;
constexpr double Step255 = 2.55;

// Toward zero, kept far inside int so that odd inputs cannot overflow.
int Trunc(Extended v)
{
    if (std::isnan(v)) return 0;
    constexpr Extended Limit = 1.0e8L;
    if (v > Limit) v = Limit;
    if (v < -Limit) v = -Limit;
    return static_cast<int>(v);
}

// A pen on the image's pixels that behaves like the drawing canvas the charts
// were designed on: a line leaves out its end pixel, a dotted line runs three
// pixels on and three off with the gaps in the background colour, and a wide
// pen ends in a round cap.
class PixelPen {
public:
    explicit PixelPen(QImage& image) : image_(image) {}

    QRgb colour = qRgb(0, 0, 0);
    QRgb background = qRgb(0, 0, 0);
    bool dotted = false;
    int width = 1;

    void MoveTo(int x, int y)
    {
        x_ = x;
        y_ = y;
        dash_ = 0;
    }

    void LineTo(int x, int y)
    {
        if (width > 1 && x == x_ && y == y_) {
            Dot(x, y);
            return;
        }
        // Bresenham from the current point, stopping one pixel short.
        const int dx = std::abs(x - x_), dy = -std::abs(y - y_);
        const int sx = x_ < x ? 1 : -1, sy = y_ < y ? 1 : -1;
        int err = dx + dy;
        int px = x_, py = y_;
        while (px != x || py != y) {
            Plot(px, py);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                px += sx;
            }
            if (e2 <= dx) {
                err += dx;
                py += sy;
            }
        }
        x_ = x;
        y_ = y;
    }

private:
    void Set(int x, int y, QRgb c)
    {
        if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) image_.setPixel(x, y, c);
    }

    void Plot(int x, int y)
    {
        if (width > 1) {
            Dot(x, y);
            return;
        }
        if (!dotted) {
            Set(x, y, colour);
            return;
        }
        Set(x, y, dash_ < 3 ? colour : background);
        dash_ = (dash_ + 1) % 6;
    }

    // A round dot `width` pixels across centred on (x, y).
    void Dot(int x, int y)
    {
        const int r = width / 2;
        const int limit = r * r + r;  // leaves the corners of the square out
        for (int j = -r; j <= r; ++j)
            for (int i = -r; i <= r; ++i)
                if (i * i + j * j <= limit) Set(x + i, y + j, colour);
    }

    QImage& image_;
    int x_ = 0, y_ = 0;
    int dash_ = 0;
};

}  // namespace

ChartDrawing DrawBrightnessChart(const ChartStyle& style, QImage& image, float attenuation, int noSensor, float gamma,
                                 bool curveOn)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int W = image.width(), H = image.height();
    const int L = style.LeftMargin, R = style.RightMargin, T = style.TopMargin, B = style.BottomMargin;
    const int axis = H - B;
    auto rgb = [](int32_t bgr) { return ColorFromBgr(bgr).rgb(); };

    ChartDrawing out;
    PixelPen pen(image);
    pen.background = qRgb(0, 0, 0);

    // 1. Background.
    image.fill(Qt::black);

    // 2. Frame and axes.
    pen.colour = rgb(style.AxisColor);
    pen.MoveTo(L, 0);
    pen.LineTo(L, H);
    pen.MoveTo(0, axis);
    pen.LineTo(W, axis);
    pen.MoveTo(W - R, 0);
    pen.LineTo(W - R, H);
    pen.MoveTo(0, T);
    pen.LineTo(W, T);

    const Extended k = Extended(Hundred) - Extended(attenuation);
    const Extended share = k * Hundredth;

    // 3. Dotted line to the no-sensor point.
    pen.dotted = true;
    pen.colour = rgb(style.SensorLineColor);
    const int d = Trunc(share * (Extended(noSensor) * Extended(Step255)));
    pen.MoveTo(L, axis - d);
    pen.LineTo(L + d, axis - d);

    // 4. Dotted maximum-level line.
    pen.colour = rgb(style.LevelLineColor);
    const int e = Trunc(k * Extended(Step255));
    pen.MoveTo(L, axis - e);
    pen.LineTo(W - R, axis - e);

    // 5. Gamma curve.
    pen.dotted = false;
    pen.colour = rgb(style.CurveColor);
    pen.MoveTo(L + 1, axis - 1);
    if (curveOn) {
        for (int i = 1; i <= 255; ++i) {
            const float r = static_cast<float>(Extended(i) * OneBy255);
            const double power = std::pow(static_cast<double>(r), static_cast<double>(gamma));
            const int y = axis - Trunc(k * Extended(Step255) * Extended(power));
            pen.LineTo(L + i, y);
        }
    }

    // 6. Reference diagonal.
    pen.colour = rgb(style.LinearColor);
    pen.MoveTo(L + 1, axis - 1);
    pen.LineTo(W - R, T);

    // 7. Marker on the no-sensor point.
    pen.colour = rgb(style.MarkerColor);
    pen.width = 5;
    pen.MoveTo(L + d, axis - d);
    pen.LineTo(L + d, axis - d);

    // 8. The two percentages left of the vertical axis.
    out.NoSensorHeight = d;
    out.LevelHeight = e;
    out.NoSensorPercent = Trunc(share * Extended(noSensor));
    out.CorrectionPercent = 100 - Trunc(Extended(attenuation));

    QPainter painter(&image);
    QFont font = painter.font();
    font.setPointSize(8);
    painter.setFont(font);
    painter.setPen(ColorFromBgr(style.TextColor));
    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font, &image);
    auto label = [&](int value, int top) {
        const QString text = QString::number(value);
        const QPoint at(L - metrics.horizontalAdvance(text) - 2, top);
        painter.drawText(at + QPoint(0, metrics.ascent()), text);
        return at;
    };
    out.NoSensorPercentAt = label(out.NoSensorPercent, axis - d - 6);
    out.CorrectionPercentAt = label(out.CorrectionPercent, Trunc(Extended(attenuation) * Extended(Step255)) + T - 6);
    return out;
}
