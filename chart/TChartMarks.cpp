#include "chart/TChartMarks.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"

#include <algorithm>
#include <cmath>

int TChartMarks::Add(TChartMark mark)
{
    mark.Id = nextId_++;
    items_.push_back(std::move(mark));
    Changed();
    return items_.back().Id;
}

int TChartMarks::AddHorizontalLine(double y, std::string label, TColor color, TPenStyle style)
{
    return Add({.Kind = TChartMarkKind::HorizontalLine, .Y = y, .Text = std::move(label), .Color = color,
                .Style = style});
}

int TChartMarks::AddVerticalLine(double x, std::string label, TColor color, TPenStyle style)
{
    return Add({.Kind = TChartMarkKind::VerticalLine, .X = x, .Text = std::move(label), .Color = color,
                .Style = style});
}

int TChartMarks::AddLine(double x, double y, double slope, TColor color, TPenStyle style, int width)
{
    return Add({.Kind = TChartMarkKind::Line, .X = x, .Y = y, .Slope = slope, .Text = {}, .Color = color, .Style = style,
                .Width = width});
}

bool TChartMarks::Remove(int id)
{
    auto it = std::find_if(items_.begin(), items_.end(), [id](const TChartMark& m) { return m.Id == id; });
    if (it == items_.end())
        return false;
    items_.erase(it);
    Changed();
    return true;
}

void TChartMarks::Clear()
{
    if (items_.empty())
        return;
    items_.clear();
    Changed();
}

void TChartMarks::ExtendRange(TChartMarkKind kind, bool maximum, bool& found, double& result) const
{
    for (const TChartMark& m : items_) {
        if (m.Kind != kind)
            continue;
        double v = kind == TChartMarkKind::VerticalLine ? m.X : m.Y;
        if (!std::isfinite(v))
            continue;
        v += (maximum ? kRangeRoom : -kRangeRoom) * std::abs(v);
        if (!found || (maximum ? v > result : v < result))
            result = v;
        found = true;
    }
}

void TChartMarks::Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart)
{
    labelRects_.clear();
    if (items_.empty())
        return;
    const TChartRect& plot = chart.PlotRect();
    // Inside the back wall's frame, as the series.
    const ClipRect inside{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom - 1};
    canvas.SetClip(inside);
    const axis_scale::ScaleMap xMap = chart.BottomAxis().Map(), yMap = chart.LeftAxis().Map();
    auto line = [&canvas](double x0, double y0, double x1, double y1) {
        if (axis_scale::ClipToFarSquare(x0, y0, x1, y1)) {
            canvas.MoveTo(static_cast<int>(x0), static_cast<int>(y0));
            canvas.LineTo(static_cast<int>(x1), static_cast<int>(y1));
        }
    };
    // A reference line's label on a box of the chart's colour, readable over
    // grid lines and curves; x is its left or right end.
    // A label that would cover one drawn before moves down (a vertical
    // line's, `step` > 0) or to the other side of its line (a horizontal
    // line's, `other` the top there) until it covers none.
    auto overlaps = [this](const TChartRect& r) {
        return std::any_of(labelRects_.begin(), labelRects_.end(), [&r](const TChartRect& o) {
            return r.Left < o.Right && o.Left < r.Right && r.Top < o.Bottom && o.Top < r.Bottom;
        });
    };
    auto label = [this, &canvas, &chart, &overlaps, &inside](int x, int top, const std::string& text,
                                                            TextHAlign align, int step, int other) {
        const int w = canvas.SubscriptTextWidth(text);
        const int h = canvas.FontHeight();
        const int left = align == TextHAlign::Right ? x - w : x;
        auto box = [&](int t) { return TChartRect{left - 1, t, left + w + 1, t + h}; };
        if (overlaps(box(top))) {
            if (step > 0) {
                while (overlaps(box(top)) && top + step + h <= inside.bottom)
                    top += step;
            } else if (!overlaps(box(other))) {
                top = other;
            }
        }
        canvas.SetBrush(chart.Color(), bsSolid);
        canvas.FillRect(left - 1, top, left + w + 1, top + h);
        labelRects_.push_back(box(top));
        canvas.SubscriptTextOut(left, top, text);
    };
    for (const TChartMark& m : items_) {
        canvas.SetPen(m.Color, m.Width, m.Style);
        canvas.SetFont(font_.Name(), font_.Size(), m.Color, font_.Style());
        switch (m.Kind) {
        case TChartMarkKind::HorizontalLine: {
            const double py = yMap.ExactPixel(m.Y);
            if (!(py >= inside.top && py < inside.bottom))
                break;
            const int y = static_cast<int>(py);
            canvas.MoveTo(inside.left, y);
            canvas.LineTo(inside.right, y);
            const int h = canvas.FontHeight();
            const bool above = y - kLabelGap - h >= inside.top;
            const int top = above ? y - kLabelGap - h : y + kLabelGap;
            label(inside.right - kLabelGap, top, m.Text, TextHAlign::Right, 0, above ? y + kLabelGap : top);
            break;
        }
        case TChartMarkKind::VerticalLine: {
            const double px = xMap.ExactPixel(m.X);
            if (!(px >= inside.left && px < inside.right))
                break;
            const int x = static_cast<int>(px);
            canvas.MoveTo(x, inside.top);
            canvas.LineTo(x, inside.bottom);
            const int w = canvas.SubscriptTextWidth(m.Text);
            const bool right = x + kLabelGap + w <= inside.right - kLabelGap;
            label(right ? x + kLabelGap : x - kLabelGap, inside.top + kLabelGap, m.Text,
                  right ? TextHAlign::Left : TextHAlign::Right, canvas.FontHeight() + 1, 0);
            break;
        }
        case TChartMarkKind::Line: {
            // Between the bottom axis's scale ends, which span the plot.
            const double xa = xMap.scaleMin, xb = xMap.scaleMax;
            line(xMap.ExactPixel(xa), yMap.ExactPixel(m.Y + m.Slope * (xa - m.X)), xMap.ExactPixel(xb),
                 yMap.ExactPixel(m.Y + m.Slope * (xb - m.X)));
            break;
        }
        }
    }
    canvas.RemoveClip();
}
