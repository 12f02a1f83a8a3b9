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
    Square(canvas, left, top);
}

void TPointSeries::Square(ChartCanvas& canvas, int left, int top) const
{
    const int right = left + pointSize_, bottom = top + pointSize_;
    if (!hollow_ || pointSize_ < 3) {
        canvas.FillRect(left, top, right, bottom);
        return;
    }
    canvas.FillRect(left, top, right, top + 1);
    canvas.FillRect(left, bottom - 1, right, bottom);
    canvas.FillRect(left, top + 1, left + 1, bottom - 1);
    canvas.FillRect(right - 1, top + 1, right, bottom - 1);
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
    Square(canvas, l, t);
}
