#include "chart/TPointSeries.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <cmath>

namespace {

// Whether a pixel coordinate is close enough to the surface to be drawn.
bool Near(double p) { return std::abs(p) < 1e6; }

} // namespace

void TPointSeries::PrepareCanvas(ChartCanvas& canvas)
{
    canvas.SetBrush(SeriesColor() == ColorUnset ? clBlack : SeriesColor(), bsSolid);
}

void TPointSeries::DrawPoint(ChartCanvas& canvas, int i)
{
    const double x = xMap_.ExactPixel(XValue(i)), y = yMap_.ExactPixel(YValue(i));
    if (!Near(x) || !Near(y))
        return;
    // The square's top-left corner: the point's pixel less half the side.
    const int left = static_cast<int>(x) - pointSize_ / 2, top = static_cast<int>(y) - pointSize_ / 2;
    canvas.FillRect(left, top, left + pointSize_, top + pointSize_);
}

bool TPointSeries::Clicked(int x, int y) const
{
    if (firstVisible_ < 0 || ParentChart() == nullptr)
        return false;
    const axis_scale::ScaleMap xMap = GetHorizAxis()->Map(), yMap = GetVertAxis()->Map();
    for (int i = firstVisible_; i <= lastVisible_ && i < Count(); ++i) {
        const double px = xMap.ExactPixel(XValue(i)), py = yMap.ExactPixel(YValue(i));
        if (!Near(px) || !Near(py))
            continue;
        const int left = static_cast<int>(px) - pointSize_ / 2, top = static_cast<int>(py) - pointSize_ / 2;
        if (x >= left && x < left + pointSize_ && y >= top && y < top + pointSize_)
            return true;
    }
    return false;
}

void TPointSeries::DrawLegendSymbol(ChartCanvas& canvas, int left, int top, int width, int height) const
{
    canvas.SetBrush(SeriesColor() == ColorUnset ? clBlack : SeriesColor(), bsSolid);
    const int l = left + (width - pointSize_) / 2, t = top + (height - pointSize_) / 2;
    canvas.FillRect(l, t, l + pointSize_, t + pointSize_);
}
