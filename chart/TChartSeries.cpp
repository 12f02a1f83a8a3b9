#include "chart/TChartSeries.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"
#include "runtime/Exceptions.h"

#include <cmath>
#include <new>

namespace {

template <class T>
void ReserveOneMore(std::vector<T>& v)
{
    if (v.size() == v.capacity())
        v.reserve(v.empty() ? 16 : v.size() * 2);
}

} // namespace

TChartSeries::TChartSeries() = default;

TChartSeries::~TChartSeries() = default;

int TChartSeries::AddPoint(double x, double y, const std::string& label, TColor color)
{
    XValues.PendingValue = x;
    YValues.PendingValue = y;
    // Make room in all four lists first: once the x value is placed, the
    // other three insertions cannot fail, so the lists keep one length.
    std::string storedLabel;
    try {
        XValues.ReserveOneMore();
        YValues.ReserveOneMore();
        ReserveOneMore(colors_);
        ReserveOneMore(labels_);
        storedLabel = label;
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    const int i = XValues.AddValue(XValues.PendingValue);
    YValues.InsertValueAt(i, YValues.PendingValue);
    colors_.insert(colors_.begin() + i, color == ColorAuto ? ColorUnset : color);
    labels_.insert(labels_.begin() + i, std::move(storedLabel));
    NotifyPointAdded(i);
    return i;
}

void TChartSeries::ClearPoints()
{
    XValues.Clear();
    YValues.Clear();
    colors_.clear();
    labels_.clear();
    if (chart_ != nullptr && !chart_->Destroying())
        chart_->Invalidate();
}

TColor TChartSeries::ValueColor(int i) const
{
    const TColor c = colors_[static_cast<std::size_t>(i)];
    return c == ColorUnset ? seriesColor_ : c;
}

void TChartSeries::SetSeriesColor(TColor c) { Assign(seriesColor_, c); }

bool TChartSeries::UsesAxis(const TChartAxis& axis) const
{
    return chart_ != nullptr && (chart_->AxisFor(horizAxis_) == &axis || chart_->AxisFor(vertAxis_) == &axis);
}

void TChartSeries::Invalidate() { Repaint(); }

void TChartSeries::Repaint()
{
    if (chart_ != nullptr)
        chart_->Invalidate();
}

void TChartSeries::NotifyPointAdded(int index)
{
    (void)index;
    if (active_)
        Repaint();
}

TChartAxis* TChartSeries::GetHorizAxis() const { return chart_ != nullptr ? chart_->AxisFor(horizAxis_) : nullptr; }

TChartAxis* TChartSeries::GetVertAxis() const { return chart_ != nullptr ? chart_->AxisFor(vertAxis_) : nullptr; }

int TChartSeries::CalcXPos(int i) const { return GetHorizAxis()->ValueToPixel(XValue(i)); }

int TChartSeries::CalcYPos(int i) const { return GetVertAxis()->ValueToPixel(YValue(i)); }

void TChartSeries::FindVisibleRange()
{
    firstVisible_ = lastVisible_ = -1;
    const int count = Count();
    if (count == 0 || chart_ == nullptr)
        return;
    const int last = count - 1;
    if (XValues.Order() == loNone) {
        firstVisible_ = 0;
        lastVisible_ = last;
        return;
    }
    const TChartAxis& axis = *GetHorizAxis();
    const TChartRect& plot = chart_->PlotRect();
    const double xl = axis.PixelToValue(axis.Inverted() ? plot.Right : plot.Left);
    int first = 0;
    while (first <= last && !(XValue(first) >= xl))
        ++first;
    if (first > last)
        return;
    firstVisible_ = first;
    const double xr = axis.PixelToValue(axis.Inverted() ? plot.Left : plot.Right);
    if (XValue(last) <= xr) {
        lastVisible_ = last;
        return;
    }
    int i = first;
    while (i < last && !(XValue(i) >= xr))
        ++i;
    lastVisible_ = i;
}

void TChartSeries::DrawAllValues(ChartCanvas& canvas)
{
    FindVisibleRange();
    if (firstVisible_ == -1)
        return;
    xMap_ = GetHorizAxis()->Map();
    yMap_ = GetVertAxis()->Map();
    if (chart_->ClipPoints()) {
        // Inside the back wall's frame: the curve never covers it.
        const TChartRect& plot = chart_->PlotRect();
        canvas.SetClip(ClipRect{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom - 1});
    }
    PrepareCanvas(canvas);
    for (int i = firstVisible_; i <= lastVisible_; ++i)
        DrawPoint(canvas, i);
    canvas.RemoveClip();
}

int TChartSeries::NearestPointIndex(double x) const
{
    const int count = Count();
    if (count == 0)
        return -1;
    auto closer = [&](int a, int b) { // a < b: whether b is strictly nearer
        return std::abs(XValue(b) - x) < std::abs(XValue(a) - x);
    };
    if (XValues.Order() == loAscending) {
        // The first point at or beyond x, then the one before it.
        int lo = 0, hi = count; // [lo, hi)
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (XValue(mid) < x)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == count)
            return count - 1;
        if (lo == 0)
            return 0;
        return closer(lo - 1, lo) ? lo : lo - 1;
    }
    int best = 0;
    for (int i = 1; i < count; ++i)
        if (closer(best, i))
            best = i;
    return best;
}

void TChartSeries::DrawLegendSymbol(ChartCanvas& canvas, int left, int top, int width, int height) const
{
    canvas.SetPen(seriesColor_ == ColorUnset ? clBlack : seriesColor_, 2, psSolid);
    const int y = top + height / 2;
    canvas.MoveTo(left, y);
    canvas.LineTo(left + width, y);
}
