#include "chart/TChartLegend.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <algorithm>
#include <vector>

void TChartLegend::Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart)
{
    if (!visible_)
        return;
    std::vector<const TChartSeries*> listed;
    for (int i = 0; i < chart.SeriesCount(); ++i)
        if (chart.Series(i)->Active() && !chart.Series(i)->Title().empty())
            listed.push_back(chart.Series(i));
    if (listed.empty())
        return;
    canvas.SetFont(font_);
    const int rowHeight = canvas.FontHeight();
    int widest = 0;
    for (const TChartSeries* s : listed)
        widest = std::max(widest, canvas.TextWidth(s->Title()));
    const int width = 2 * kPadding + kSymbolWidth + kPadding + widest;
    const int height = 2 * kPadding + static_cast<int>(listed.size()) * rowHeight;

    const TChartRect& plot = chart.PlotRect();
    const bool left = corner_ == TLegendCorner::TopLeft || corner_ == TLegendCorner::BottomLeft;
    const bool top = corner_ == TLegendCorner::TopLeft || corner_ == TLegendCorner::TopRight;
    const int x = left ? plot.Left + kMargin : plot.Right - kMargin - width;
    const int y = top ? plot.Top + kMargin : plot.Bottom - kMargin - height;

    canvas.SetClip(ClipRect{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom - 1});
    canvas.SetPen(clBlack, 1, psSolid);
    canvas.SetBrush(clWhite, bsSolid);
    canvas.Rectangle(x, y, x + width, y + height);
    int rowTop = y + kPadding;
    for (const TChartSeries* s : listed) {
        s->DrawLegendSymbol(canvas, x + kPadding, rowTop, kSymbolWidth, rowHeight);
        canvas.TextOut(x + 2 * kPadding + kSymbolWidth, rowTop, s->Title());
        rowTop += rowHeight;
    }
    canvas.RemoveClip();
}
