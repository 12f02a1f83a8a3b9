#include "chart/TIntervalMarkers.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <cmath>

namespace {

constexpr TColor kDarkGreen = 0x008000;

} // namespace

TIntervalMarkers::TIntervalMarkers(TChartChangeSink* chart)
    : TChartElement(chart), pen_(chart, kDarkGreen, 2), font_(chart, kDarkGreen)
{
}

bool TIntervalMarkers::HitTest(const TCustomAxisPanel& chart, int x, int y, TIntervalEdge& edge) const
{
    if (!visible_)
        return false;
    const TChartRect& plot = chart.PlotRect();
    if (y < plot.Top || y >= plot.Bottom)
        return false;
    const axis_scale::ScaleMap map = chart.BottomAxis().Map();
    const double ds = std::abs(map.ExactPixel(start_) - x), de = std::abs(map.ExactPixel(end_) - x);
    if (ds > kGrabTolerance && de > kGrabTolerance)
        return false;
    edge = ds <= de ? TIntervalEdge::Start : TIntervalEdge::End;
    return true;
}

void TIntervalMarkers::Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart, std::span<const TChartRect> occupied)
{
    if (!visible_)
        return;
    const TChartRect& plot = chart.PlotRect();
    const ClipRect inside{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom - 1};
    canvas.SetClip(inside);
    canvas.SetPen(pen_.Color(), pen_.Width(), pen_.Style());
    canvas.SetFont(font_.Name(), font_.Size(), pen_.Color(), font_.Style());
    const int h = canvas.FontHeight();
    const axis_scale::ScaleMap map = chart.BottomAxis().Map();
    for (TIntervalEdge edge : {TIntervalEdge::Start, TIntervalEdge::End}) {
        const double px = map.ExactPixel(Value(edge));
        if (!(px >= inside.left - pen_.Width() && px < inside.right + pen_.Width()))
            continue;
        const int x = static_cast<int>(px);
        if (pen_.Visible()) {
            canvas.MoveTo(x, inside.top);
            canvas.LineTo(x, inside.bottom);
        }
        // The start's label right of its line, the end's left of it: inside
        // the interval, so that a marker at a plot edge keeps its label.
        const bool start = edge == TIntervalEdge::Start;
        const int w = canvas.TextWidth(Label(edge));
        const int left = start ? x + 3 : x - 3 - w;
        int top = inside.bottom - 2 - h;
        for (bool moved = true; moved && top >= inside.top;) {
            moved = false;
            for (const TChartRect& r : occupied)
                if (left < r.Right && r.Left < left + w && top < r.Bottom && r.Top < top + h) {
                    top = r.Top - 1 - h;
                    moved = true;
                }
        }
        if (top < inside.top) // no room above: at the bottom all the same
            top = inside.bottom - 2 - h;
        canvas.TextOut(left, top, Label(edge));
    }
    canvas.RemoveClip();
}
