#include "chart/TChartLegend.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <algorithm>
#include <vector>

namespace {

// The series the legend lists: the active ones with a title.
std::vector<const TChartSeries*> Listed(const TCustomAxisPanel& chart)
{
    std::vector<const TChartSeries*> listed;
    for (int i = 0; i < chart.SeriesCount(); ++i)
        if (chart.Series(i)->Active() && !chart.Series(i)->Title().empty())
            listed.push_back(chart.Series(i));
    return listed;
}

} // namespace

std::optional<TChartRect> TChartLegend::Box(ChartCanvas& canvas, const TCustomAxisPanel& chart) const
{
    if (!visible_)
        return std::nullopt;
    const std::vector<const TChartSeries*> listed = Listed(chart);
    if (listed.empty())
        return std::nullopt;
    canvas.SetFont(font_);
    int widest = 0;
    for (const TChartSeries* s : listed)
        widest = std::max(widest, canvas.TextWidth(s->Title()));
    const int width = 2 * kPadding + kSymbolWidth + kPadding + widest;
    const int height = 2 * kPadding + static_cast<int>(listed.size()) * canvas.FontHeight();

    const TChartRect& plot = chart.PlotRect();
    auto boxAt = [&](TLegendCorner corner) {
        const bool left = corner == TLegendCorner::TopLeft || corner == TLegendCorner::BottomLeft;
        const bool top = corner == TLegendCorner::TopLeft || corner == TLegendCorner::TopRight;
        const int x = left ? plot.Left + kMargin : plot.Right - kMargin - width;
        const int y = top ? plot.Top + kMargin : plot.Bottom - kMargin - height;
        return TChartRect{x, y, x + width, y + height};
    };
    if (corner_ != TLegendCorner::Emptiest)
        return boxAt(corner_);
    const axis_scale::ScaleMap xMap = chart.BottomAxis().Map(), yMap = chart.LeftAxis().Map();
    auto covered = [&](const TChartRect& r) {
        int n = 0;
        for (const TChartSeries* s : listed)
            for (int i = 0; i < s->Count(); ++i) {
                const double px = xMap.ExactPixel(s->XValue(i)), py = yMap.ExactPixel(s->YValue(i));
                n += px >= r.Left && px < r.Right && py >= r.Top && py < r.Bottom;
            }
        return n;
    };
    TChartRect best{};
    int fewest = -1;
    for (const TLegendCorner c : {TLegendCorner::BottomRight, TLegendCorner::TopRight, TLegendCorner::TopLeft,
                                  TLegendCorner::BottomLeft}) {
        const TChartRect r = boxAt(c);
        const int n = covered(r);
        if (fewest < 0 || n < fewest) {
            fewest = n;
            best = r;
        }
    }
    return best;
}

void TChartLegend::Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart)
{
    const std::optional<TChartRect> box = Box(canvas, chart);
    if (!box)
        return;
    const TChartRect& plot = chart.PlotRect();
    canvas.SetClip(ClipRect{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom - 1});
    canvas.SetPen(clBlack, 1, psSolid);
    canvas.SetBrush(clWhite, bsSolid);
    canvas.Rectangle(box->Left, box->Top, box->Right, box->Bottom);
    const int rowHeight = canvas.FontHeight();
    int rowTop = box->Top + kPadding;
    for (const TChartSeries* s : Listed(chart)) {
        s->DrawLegendSymbol(canvas, box->Left + kPadding, rowTop, kSymbolWidth, rowHeight);
        canvas.TextOut(box->Left + 2 * kPadding + kSymbolWidth, rowTop, s->Title());
        rowTop += rowHeight;
    }
    canvas.RemoveClip();
}
