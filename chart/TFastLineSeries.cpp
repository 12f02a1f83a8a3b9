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

void TFastLineSeries::DrawPoint(ChartCanvas& canvas, int i)
{
    const int x = xMap_.ValueToPixel(XValue(i));
    const int y = yMap_.ValueToPixel(YValue(i));
    if (i == firstVisible_) {
        if (i >= 1) {
            // From the last point left of the plot: the clip cuts the segment.
            canvas.MoveTo(xMap_.ValueToPixel(XValue(i - 1)), yMap_.ValueToPixel(YValue(i - 1)));
            canvas.LineTo(x, y);
        } else {
            canvas.MoveTo(x, y);
        }
    } else {
        if (x == lastPixelX_ && y == lastPixelY_)
            return; // same pixel as the last point drawn
        canvas.LineTo(x, y);
    }
    lastPixelX_ = x;
    lastPixelY_ = y;
}

bool TFastLineSeries::Clicked(int x, int y) const
{
    if (firstVisible_ < 0 || ParentChart() == nullptr)
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
    int px = xMap.ValueToPixel(XValue(start)), py = yMap.ValueToPixel(YValue(start));
    bool hit = false;
    for (int i = start + 1; i <= lastVisible_ && i < Count() && !hit; ++i) {
        const int qx = xMap.ValueToPixel(XValue(i)), qy = yMap.ValueToPixel(YValue(i));
        RasterLine(px, py, qx, qy, near, [&hit](int, int, int) { hit = true; });
        px = qx;
        py = qy;
    }
    return hit;
}
