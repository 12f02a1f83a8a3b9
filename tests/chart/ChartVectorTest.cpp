// The chart drawn through a QPainter: figures where the raster surface puts
// its pixels, and the window's own surface untouched by it.
#include "ChartTestSupport.h"
#include "chart/ChartCanvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr int kW = 24, kH = 12;

// The figure drawn by `draw` on the raster surface and, aliased, through a
// painter: a column x, as '#' for black and '.' for white, both ways.
std::pair<std::string, std::string> Columns(const std::function<void(ChartCanvas&)>& draw, int x)
{
    ChartCanvas raster;
    raster.SetSize(kW, kH);
    raster.SetBrush(clWhite);
    raster.FillRect(0, 0, kW, kH);
    draw(raster);
    QImage image(kW, kH, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        ChartCanvas vector;
        vector.DessinerSur(&painter, kW, kH);
        draw(vector);
        vector.DessinerSur(nullptr, 0, 0);
    }
    std::string a, b;
    for (int y = 0; y < kH; ++y) {
        a += raster.Pixel(x, y) == clBlack ? '#' : '.';
        b += image.pixelColor(x, y) == Qt::black ? '#' : '.';
    }
    return {a, b};
}

} // namespace

TEST(ChartVector, lines_and_rectangles_cover_the_raster_pixels)
{
    struct Case {
        const char* what;
        std::function<void(ChartCanvas&)> draw;
    };
    const Case cases[] = {
        {"one pixel", [](ChartCanvas& c) { c.MoveTo(2, 5); c.LineTo(20, 5); }},
        {"two pixels: the line's row and the one above",
         [](ChartCanvas& c) { c.SetPen(clBlack, 2); c.MoveTo(2, 5); c.LineTo(20, 5); }},
        {"three pixels", [](ChartCanvas& c) { c.SetPen(clBlack, 3); c.MoveTo(2, 5); c.LineTo(20, 5); }},
        {"a path of two segments", [](ChartCanvas& c) { c.MoveTo(2, 2); c.LineTo(10, 2); c.LineTo(10, kH); }},
        {"outline and fill", [](ChartCanvas& c) { c.SetBrush(clBlack); c.Rectangle(3, 1, 20, 10); }},
        {"outline only", [](ChartCanvas& c) { c.SetBrush(clWhite, bsClear); c.Rectangle(3, 1, 20, 10); }},
    };
    for (const Case& c : cases)
        for (int x : {6, 10, 15}) {
            const auto [raster, vector] = Columns(c.draw, x);
            EXPECT_EQ(vector, raster) << c.what << ", column " << x;
        }
}

TEST(ChartVector, painting_elsewhere_leaves_the_window_picture_as_it_was)
{
    TestChart chart(300, 200);
    TFastLineSeries* s = chart.AddSeries<TFastLineSeries>();
    for (int i = 0; i < 50; ++i)
        s->AddPoint(i, i * i, "", clRed);
    const QImage before = chart.BackBuffer().copy();
    const TChartRect plot = chart.PlotRect();
    QImage large(900, 500, QImage::Format_RGB32);
    QPainter painter(&large);
    chart.PaintOn(painter, 900, 500);
    EXPECT_EQ(chart.BackBuffer(), before);
    EXPECT_EQ(chart.PlotRect(), plot); // the mouse meets the window's layout
}
