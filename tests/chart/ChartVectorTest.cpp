// The chart drawn through a QPainter: figures where the raster surface puts
// its pixels, and the window's own surface untouched by it.
#include "ChartTestSupport.h"
#include "chart/ChartCanvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

TEST(ChartVector, lines_and_rectangles_cover_the_raster_pixels)
{
    constexpr int kW = 24, kH = 12;
    using Figure = void (*)(ChartCanvas&);
    const Figure figures[] = {
        [](ChartCanvas& c) { c.MoveTo(2, 5); c.LineTo(20, 5); },
        [](ChartCanvas& c) { c.SetPen(clBlack, 2); c.MoveTo(2, 5); c.LineTo(20, 5); }, // its row and the one above
        [](ChartCanvas& c) { c.SetPen(clBlack, 3); c.MoveTo(2, 5); c.LineTo(20, 5); },
        [](ChartCanvas& c) { c.MoveTo(2, 2); c.LineTo(10, 2); c.LineTo(10, kH); },
        [](ChartCanvas& c) { c.SetBrush(clBlack); c.Rectangle(3, 1, 20, 10); },
        [](ChartCanvas& c) { c.SetBrush(clWhite, bsClear); c.Rectangle(3, 1, 20, 10); },
    };
    for (std::size_t i = 0; i < std::size(figures); ++i) {
        ChartCanvas raster;
        raster.SetSize(kW, kH);
        raster.SetBrush(clWhite);
        raster.FillRect(0, 0, kW, kH);
        figures[i](raster);
        QImage image(kW, kH, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            ChartCanvas vector;
            vector.DessinerSur(&painter, kW, kH);
            figures[i](vector);
            vector.DessinerSur(nullptr, 0, 0);
        }
        for (int x : {6, 10, 15})
            for (int y = 0; y < kH; ++y)
                EXPECT_EQ(image.pixelColor(x, y) == Qt::black, raster.Pixel(x, y) == clBlack)
                    << "figure " << i << ", pixel " << x << "," << y;
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
