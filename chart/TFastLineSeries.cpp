#include "chart/TFastLineSeries.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <algorithm>

TFastLineSeries::TFastLineSeries() : linePen_(this) {}

void TFastLineSeries::SetSeriesColor(TColor c)
{
    TChartSeries::SetSeriesColor(c);
    linePen_.SetColor(c);
}

void TFastLineSeries::NotifyPointAdded(int index)
{
    (void)index;
    // No after-add hook is installed by this program.
    if (autoRepaint_ && Active())
        Repaint();
}

void TFastLineSeries::PrepareCanvas(ChartCanvas& canvas)
{
    // The line pen, in the series colour.
    canvas.SetPen(SeriesColor(), linePen_.Width(), linePen_.Style());
    canvas.SetBrush(clWhite, bsClear);
}

void TFastLineSeries::DrawSegment(ChartCanvas& canvas, double x0, double y0, double x1, double y1)
{
    using namespace axis_scale;
    if (ClipToFarSquare(x0, y0, x1, y1)) {
        canvas.MoveTo(static_cast<int>(x0), static_cast<int>(y0));
        canvas.LineTo(static_cast<int>(x1), static_cast<int>(y1));
    }
}

void TFastLineSeries::DrawPoint(ChartCanvas& canvas, int i)
{
    // Pixels as the scale gives them; only a point millions of plot widths
    // away (after a deep zoom) lies beyond the reach of line drawing, and
    // its segments are then cut with their direction kept.
    const double x = xMap_.ExactPixel(XValue(i));
    const double y = yMap_.ExactPixel(YValue(i));
    if (i == firstVisible_) {
        if (i >= 1) {
            // From the last point left of the plot: the clip cuts the segment.
            DrawSegment(canvas, xMap_.ExactPixel(XValue(i - 1)), yMap_.ExactPixel(YValue(i - 1)), x, y);
        }
    } else {
        if (x == lastExactX_ && y == lastExactY_)
            return; // same pixel as the last point drawn
        DrawSegment(canvas, lastExactX_, lastExactY_, x, y);
    }
    lastExactX_ = x;
    lastExactY_ = y;
    lastPixelX_ = axis_scale::ClampPixel(x);
    lastPixelY_ = axis_scale::ClampPixel(y);
    // The pen rests on the point, as after a line to it.
    canvas.MoveTo(lastPixelX_, lastPixelY_);
}

bool TFastLineSeries::Clicked(int x, int y) const
{
    // FirstVisible and LastVisible are those of the last paint: points
    // cleared since then leave nothing to find.
    if (firstVisible_ < 0 || firstVisible_ >= Count() || ParentChart() == nullptr)
        return false;
    // The segments of the last paint, between successive pixels, looked for
    // in the 3 x 3 pixels around (x, y) and within the curve's clip.
    const TChartRect& plot = ParentChart()->PlotRect();
    ClipRect near{x - 1, y - 1, x + 2, y + 2};
    if (ParentChart()->ClipPoints()) {
        near.left = std::max(near.left, plot.Left + 1);
        near.top = std::max(near.top, plot.Top + 1);
        near.right = std::min(near.right, plot.Right);
        near.bottom = std::min(near.bottom, plot.Bottom - 1);
    }
    if (near.IsEmpty())
        return false;
    const axis_scale::ScaleMap xMap = GetHorizAxis()->Map(), yMap = GetVertAxis()->Map();
    const int start = firstVisible_ >= 1 ? firstVisible_ - 1 : firstVisible_;
    double px = xMap.ExactPixel(XValue(start)), py = yMap.ExactPixel(YValue(start));
    bool hit = false;
    for (int i = start + 1; i <= lastVisible_ && i < Count() && !hit; ++i) {
        const double qx = xMap.ExactPixel(XValue(i)), qy = yMap.ExactPixel(YValue(i));
        double ax = px, ay = py, bx = qx, by = qy;
        if (axis_scale::ClipToFarSquare(ax, ay, bx, by))
            RasterLine(static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(bx), static_cast<int>(by), near,
                       [&hit](int, int, int) { hit = true; });
        px = qx;
        py = qy;
    }
    return hit;
}
