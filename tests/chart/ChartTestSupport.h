#pragma once
// Helpers of the chart tests: a chart without a window that records its
// repaint requests and synchronous frames, fixed system colours, and
// pictures of small surfaces as text.
#include "chart/ChartCanvas.h"
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"

#include <functional>
#include <map>
#include <string>

// The classic button face, highlight and shadow, whatever the platform.
inline SystemColors TestSystemColors()
{
    SystemColors c;
    c.btnFace = 0xF0F0F0;
    c.btnHighlight = 0xFFFFFF;
    c.btnShadow = 0xA0A0A0;
    return c;
}

class TestChart : public TCustomChart {
public:
    explicit TestChart(int width = 300, int height = 200)
    {
        SetSystemColors(TestSystemColors());
        SetChartSize(width, height);
    }

    int repaintRequests = 0; // window repaints asked for (invalidation, rubber band)
    int paints = 0;          // full paint sequences run
    int synchronousFrames = 0;
    // Called at each synchronous frame (the animated zoom's frames).
    std::function<void()> onFrame;

    using TCustomChart::PlotRect;

protected:
    void RequestRepaint() override { ++repaintRequests; }
    void DrawChart() override
    {
        ++paints;
        TCustomChart::DrawChart();
    }
    void RepaintNow() override
    {
        ++synchronousFrames;
        PaintBackBuffer();
        if (onFrame)
            onFrame();
    }
};

// The main window's configuration of a chart, with its red series.
inline TFastLineSeries* ConfigureLikeMainWindow(TCustomChart& chart)
{
    chart.BackWall().Brush().SetStyle(bsClear);
    chart.Legend().SetVisible(false);
    chart.SetView3D(false);
    chart.SetAnimatedZoom(true);
    TFastLineSeries* series = chart.AddSeries<TFastLineSeries>();
    series->SetSeriesColor(clRed);
    return series;
}

// Rows of the rectangle [left, right) x [top, bottom) of `canvas`, one
// character a pixel: the character of the pixel's colour in `legend`, '?'
// for any other colour.
inline std::string Picture(const ChartCanvas& canvas, int left, int top, int right, int bottom,
                           const std::map<TColor, char>& legend)
{
    std::string text;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            auto it = legend.find(canvas.Pixel(x, y));
            text.push_back(it == legend.end() ? '?' : it->second);
        }
        text.push_back('\n');
    }
    return text;
}

inline int CountPixels(const ChartCanvas& canvas, TColor color)
{
    int n = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            n += canvas.Pixel(x, y) == color;
    return n;
}
