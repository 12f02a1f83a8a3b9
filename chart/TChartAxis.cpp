#include "chart/TChartAxis.h"

#include "chart/ChartCanvas.h"
#include "chart/TCustomAxisPanel.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <string_view>

using namespace axis_scale;

namespace {

// The smallest width of a fixed scale.
constexpr double kMinScaleWidth = 1e-10;

int TitleAngleOf(TAxisPlace place)
{
    switch (place) {
    case TAxisPlace::Left: return 90;
    case TAxisPlace::Right: return 270;
    default: return 0;
    }
}

bool Upright(int angle) { return angle == 0 || angle == 180; }

} // namespace

TChartAxis::TChartAxis(TCustomAxisPanel* chart, TAxisPlace place)
    : TChartElement(chart),
      chart_(chart),
      place_(place),
      labelsFont_(chart),
      ticks_(chart),
      minorTicks_(chart),
      ticksInner_(chart),
      grid_(chart),
      axisPen_(chart),
      title_(chart, TitleAngleOf(place))
{
}

void TChartAxis::SetAutomatic(bool v)
{
    if (automatic_ == v && automaticMinimum_ == v && automaticMaximum_ == v)
        return;
    automatic_ = automaticMinimum_ = automaticMaximum_ = v;
    Changed();
}

// Clearing either end clears Automatic; setting one back does not restore it.
void TChartAxis::SetAutomaticEnd(bool& end, bool v)
{
    if (end == v)
        return;
    end = v;
    if (!v)
        automatic_ = false;
    Changed();
}

void TChartAxis::SetAutomaticMinimum(bool v) { SetAutomaticEnd(automaticMinimum_, v); }

void TChartAxis::SetAutomaticMaximum(bool v) { SetAutomaticEnd(automaticMaximum_, v); }

void TChartAxis::SetMinimum(double v)
{
    if (v > maximum_)
        throw AxisException("La valeur minimum de l'axe doit être <= maximum");
    Assign(minimum_, v);
}

void TChartAxis::SetMaximum(double v)
{
    if (v < minimum_)
        throw AxisException("La valeur maximum de l'axe doit être >= minimum");
    Assign(maximum_, v);
}

void TChartAxis::SetIncrement(double v)
{
    if (!(v >= 0))
        throw AxisException("Incrément axe doit être >= 0");
    // The step search grows the increment along 1-2-5 from its value: it
    // cannot start from infinity, nor from a denormal too coarse to grow.
    if (v != 0 && !std::isnormal(v))
        throw AxisException("Incrément axe hors limites");
    Assign(increment_, v);
}

void TChartAxis::SetMinMax(double a, double b)
{
    automatic_ = automaticMinimum_ = automaticMaximum_ = false;
    double lo = std::min(a, b), hi = std::max(a, b);
    if (hi - lo < kMinScaleWidth) {
        lo = a;
        hi = a + kMinScaleWidth;
        if (hi == lo) // too large for 1e-10 to count: the next double up
            hi = std::nextafter(a, HUGE_VAL);
    }
    minimum_ = lo;
    maximum_ = hi;
    Changed();
}

void TChartAxis::AdjustRange()
{
    const bool horizontal = Horizontal();
    auto fromData = [&](bool maximum) {
        bool found = false;
        double result = 0.0;
        for (int i = 0; i < chart_->SeriesCount(); ++i) {
            const TChartSeries& s = *chart_->Series(i);
            if (!s.Active() || s.Count() == 0)
                continue;
            if (chart_->AxisFor(horizontal ? s.HorizAxis() : s.VertAxis()) != this)
                continue;
            double v;
            if (maximum)
                v = horizontal ? s.MaxXValue() : s.MaxYValue();
            else
                v = horizontal ? s.MinXValue() : s.MinYValue();
            if (!found || (maximum ? v > result : v < result))
                result = v;
            found = true;
        }
        chart_->ExtendAutomaticRange(*this, maximum, found, result);
        return result;
    };
    if (automatic_ || automaticMaximum_)
        maximum_ = fromData(true);
    if (automatic_ || automaticMinimum_)
        minimum_ = fromData(false);
    scaleMin_ = minimum_;
    scaleMax_ = maximum_;
    scaleRange_ = scaleMax_ - scaleMin_;
}

ScaleMap TChartAxis::Map() const
{
    const TChartRect& plot = chart_->PlotRect();
    ScaleMap map;
    map.scaleMin = scaleMin_;
    map.scaleMax = scaleMax_;
    map.horizontal = Horizontal();
    map.inverted = inverted_;
    map.plotStart = map.horizontal ? plot.Left : plot.Top;
    map.plotEnd = map.horizontal ? plot.Right : plot.Bottom;
    map.center = map.horizontal ? chart_->PlotXCenter() : chart_->PlotYCenter();
    return map;
}

std::string TChartAxis::AxisLabelText(double v, const LabelFormat& format)
{
    return FormatAxisLabel(v, format, DecimalSeparator(), SystemThousandsSeparator());
}

std::string TChartAxis::LabelText(double v, const LabelFormat& format) const
{
    return FormatAxisLabel(v, format, chart_->LabelsDecimalSeparator(), SystemThousandsSeparator());
}

int TChartAxis::MaxLabelCount(ChartCanvas& canvas, const LabelFormat& format) const
{
    canvas.SetFont(labelsFont_);
    // Along a horizontal axis upright labels take their width, along a
    // vertical one their height; a turned label swaps the two.
    const bool alongIsWidth = Horizontal() == Upright(labelsAngle_);
    const int size = alongIsWidth ? std::max(canvas.TextWidth(LabelText(scaleMax_, format)),
                                             canvas.TextWidth(LabelText(scaleMin_, format)))
                                  : canvas.FontHeight();
    const int length = Horizontal() ? chart_->PlotWidth() : chart_->PlotHeight();
    return axis_scale::MaxLabelCount(size, labelsSeparation_, length);
}

double TChartAxis::ComputeLabelStep(ChartCanvas& canvas) const
{
    const double step = LabelStep(scaleRange_, increment_, MaxLabelCount(canvas), labelsSeparation_);
    // Labels measured along the axis were measured with three decimals. If
    // the step asks for more, they are wider: count again at that width. The
    // step can only grow, and its labels have no more decimals than
    // measured, so they never overlap.
    const LabelFormat format = ChooseLabelFormat(step, scaleMin_, scaleMax_);
    if (Horizontal() != Upright(labelsAngle_))
        return step;
    return SpreadLabelStep(canvas, format == LabelFormat{} ? step
                                                           : LabelStep(scaleRange_, increment_,
                                                                       MaxLabelCount(canvas, format), labelsSeparation_));
}

double TChartAxis::SpreadLabelStep(ChartCanvas& canvas, double step) const
{
    // The count above rounds the axis's length over the labels' size: on a
    // long time axis ("100", "110", "120"...) neighbours can all but touch.
    // The step grows until every two neighbours are at least one character
    // apart; where they already are, it stays.
    const int length = Horizontal() ? chart_->PlotWidth() : chart_->PlotHeight();
    if (!(step > 0) || !(scaleRange_ > 0) || length <= 0 || labelsSeparation_ <= 0)
        return step;
    canvas.SetFont(labelsFont_);
    const int gap = canvas.TextWidth("0");
    for (int tries = 0; tries < 64; ++tries) {
        const std::vector<double> values = LabelValues(scaleMin_, scaleMax_, step, roundFirstLabel_, labelsOnAxis_);
        if (values.size() < 2)
            break;
        const LabelFormat format = ChooseLabelFormat(step, scaleMin_, scaleMax_);
        int widest = 0;
        for (double v : values)
            widest = std::max(widest, canvas.TextWidth(LabelText(v, format)));
        if (step / scaleRange_ * length >= widest + gap)
            break;
        step = axis_scale::NextNiceStep(step);
    }
    return step;
}

void TChartAxis::UpdateLabelStep(ChartCanvas& canvas)
{
    labelStep_ = ComputeLabelStep(canvas);
    labelFormat_ = ChooseLabelFormat(labelStep_, scaleMin_, scaleMax_);
}

int TChartAxis::MaxLabelWidth(ChartCanvas& canvas)
{
    double lo = scaleMin_, hi = scaleMax_;
    if (roundFirstLabel_ && labelStep_ > 0) {
        lo = std::trunc(scaleMin_ / labelStep_) * labelStep_;
        hi = std::trunc(scaleMax_ / labelStep_) * labelStep_;
    }
    canvas.SetFont(labelsFont_);
    int widest = std::max(canvas.TextWidth(LabelText(hi, labelFormat_)),
                          canvas.TextWidth(LabelText(lo, labelFormat_)));
    // A label between the ends may need more digits than they do: 0,00095
    // between 0,0005 and 0,0011 when the step is 0.00005.
    measuredValues_ = LabelValues(scaleMin_, scaleMax_, labelStep_, roundFirstLabel_, labelsOnAxis_);
    measuredFormat_ = labelFormat_;
    measuredTexts_.clear();
    for (double v : measuredValues_) {
        measuredTexts_.push_back(LabelText(v, labelFormat_));
        widest = std::max(widest, canvas.TextWidth(measuredTexts_.back()));
    }
    return widest + canvas.TextWidth(" ");
}

void TChartAxis::ReserveAxisSpace(ChartCanvas& canvas, TChartRect& r)
{
    // Takes `band` pixels from the axis's side of r; the new edge.
    auto take = [&](int band) {
        switch (place_) {
        case TAxisPlace::Bottom: r.Bottom -= band; return r.Bottom;
        case TAxisPlace::Top: r.Top += band; return r.Top;
        case TAxisPlace::Left: r.Left += band; return r.Left;
        case TAxisPlace::Right: r.Right -= band; return r.Right;
        }
        return 0;
    };
    measuredValues_.clear();
    measuredTexts_.clear();
    if (!title_.Caption().empty()) {
        int band = titleSize_;
        if (band == 0) {
            canvas.SetFont(title_.Font());
            const bool acrossIsHeight = Horizontal() == Upright(title_.Angle());
            band = acrossIsHeight ? canvas.FontHeight() : canvas.SubscriptTextWidth(title_.Caption());
        }
        titlePos_ = take(band);
    }
    if (labels_) {
        int band = labelsSize_;
        if (band == 0) {
            canvas.SetFont(labelsFont_);
            const bool acrossIsHeight = Horizontal() == Upright(labelsAngle_);
            if (acrossIsHeight) {
                band = canvas.FontHeight();
            } else {
                UpdateLabelStep(canvas);
                band = MaxLabelWidth(canvas);
            }
        }
        labelsPos_ = take(band);
    }
    int ticks = (axisPen_.Visible() ? axisPen_.Width() : 0) + (ticks_.Visible() ? tickLength_ : 0);
    if (minorTicks_.Visible())
        ticks = std::max(ticks, minorTickLength_);
    if (ticks > 0)
        take(ticks);
}

bool TChartAxis::IsShown() const
{
    if (!chart_->AxisVisible() || !visible_)
        return false;
    if (chart_->SeriesCount() == 0)
        return true;
    for (int i = 0; i < chart_->SeriesCount(); ++i) {
        const TChartSeries& s = *chart_->Series(i);
        if (s.Active() && s.UsesAxis(*this))
            return true;
    }
    return false;
}

TAxisLabelStyle TChartAxis::ResolvedLabelStyle() const
{
    if (labelStyle_ != talAuto)
        return labelStyle_;
    bool used = false;
    for (int i = 0; i < chart_->SeriesCount(); ++i) {
        const TChartSeries& s = *chart_->Series(i);
        if (!s.Active() || !s.UsesAxis(*this))
            continue;
        used = true;
        if (chart_->AxisFor(s.HorizAxis()) == this && s.Count() > 0 && !s.Label(0).empty())
            return talText;
    }
    return used ? talValue : talNone;
}

void TChartAxis::Draw(ChartCanvas& canvas)
{
    const TChartRect& plot = chart_->PlotRect();
    canvas.SetFont(labelsFont_);
    UpdateLabelStep(canvas);
    switch (place_) {
    case TAxisPlace::Bottom: axisLinePos_ = plot.Bottom; break;
    case TAxisPlace::Top: axisLinePos_ = plot.Top; break;
    case TAxisPlace::Left: axisLinePos_ = plot.Left; break;
    case TAxisPlace::Right: axisLinePos_ = plot.Right; break;
    }
    if (!title_.Caption().empty())
        DrawTitle(canvas);

    // Only value labels are drawn; text and mark labels are not used here.
    if (labelStep_ > 0 && scaleMax_ >= scaleMin_ && ResolvedLabelStyle() == talValue) {
        lastTickPos_ = -1;
        canvas.SetFont(labelsFont_);
        const std::vector<double> values =
            LabelValues(scaleMin_, scaleMax_, labelStep_, roundFirstLabel_, labelsOnAxis_);
        const bool measured = values == measuredValues_ && labelFormat_ == measuredFormat_;
        for (std::size_t i = 0; i < values.size(); ++i)
            DrawLabel(canvas, values[i], measured ? &measuredTexts_[i] : nullptr);
    }
    measuredValues_.clear();
    measuredTexts_.clear();

    if (axisPen_.Visible()) {
        canvas.SetPen(axisPen_.Color(), axisPen_.Width(), axisPen_.Style());
        if (Horizontal()) {
            canvas.MoveTo(plot.Left, axisLinePos_);
            canvas.LineTo(plot.Right, axisLinePos_);
        } else {
            canvas.MoveTo(axisLinePos_, plot.Top);
            canvas.LineTo(axisLinePos_, plot.Bottom);
        }
    }
}

void TChartAxis::DrawTitle(ChartCanvas& canvas)
{
    canvas.SetFont(title_.Font());
    const std::string& caption = title_.Caption();
    const int fh = canvas.FontHeight();
    switch (place_) {
    case TAxisPlace::Bottom:
        canvas.SubscriptTextOut(chart_->PlotXCenter(), titlePos_, caption, TextHAlign::Center);
        break;
    case TAxisPlace::Top:
        canvas.SubscriptTextOut(chart_->PlotXCenter(), titlePos_ - fh, caption, TextHAlign::Center);
        break;
    case TAxisPlace::Left:
        if (title_.Angle() == 90) {
            // Reading upward, the text's bottom edge on TitlePos, centred on
            // the plot's middle; not shortened or clipped.
            const int w = canvas.SubscriptTextWidth(caption);
            canvas.SubscriptTextOut(titlePos_ - fh, chart_->PlotYCenter() + w / 2, caption, TextHAlign::Left, 90);
        } else {
            canvas.SubscriptTextOut(titlePos_, chart_->PlotYCenter() - fh / 2, caption, TextHAlign::Right);
        }
        break;
    case TAxisPlace::Right:
        // Never shown by this program; drawn upright.
        canvas.SubscriptTextOut(titlePos_, chart_->PlotYCenter() - fh / 2, caption, TextHAlign::Left);
        break;
    }
}

void TChartAxis::DrawLabel(ChartCanvas& canvas, double value, const std::string* written)
{
    const int p = ValueToPixel(value);
    DrawTicksAndGrid(canvas, p, value);
    if (!labels_)
        return;
    std::string own;
    const std::string_view text = written != nullptr ? *written : (own = LabelText(value, labelFormat_));
    const int fh = canvas.FontHeight();
    // One line per carriage return.
    std::string_view rest = text;
    for (int line = 0; !rest.empty(); ++line) {
        const std::size_t cr = rest.find('\r');
        const std::string_view part = rest.substr(0, cr);
        rest = (cr == std::string_view::npos) ? std::string_view{} : rest.substr(cr + 1);
        const int dy = line * fh;
        switch (place_) {
        case TAxisPlace::Bottom: canvas.TextOut(p, labelsPos_ + dy, part, TextHAlign::Center); break;
        case TAxisPlace::Top: canvas.TextOut(p, labelsPos_ - fh + dy, part, TextHAlign::Center); break;
        case TAxisPlace::Left: canvas.TextOut(labelsPos_, p - fh / 2 + dy, part, TextHAlign::Right); break;
        case TAxisPlace::Right: canvas.TextOut(labelsPos_, p - fh / 2 + dy, part, TextHAlign::Left); break;
        }
    }
}

void TChartAxis::DrawTick(ChartCanvas& canvas, int p, int outside, int length)
{
    // `outside` is +1 for a tick pointing away from the plot, -1 towards it;
    // the tick starts one pixel off the axis line.
    const bool awayIsPositive = place_ == TAxisPlace::Bottom || place_ == TAxisPlace::Right;
    const int dir = (awayIsPositive ? 1 : -1) * outside;
    const int from = axisLinePos_ + dir, to = from + dir * length;
    if (Horizontal()) {
        canvas.MoveTo(p, from);
        canvas.LineTo(p, to);
    } else {
        canvas.MoveTo(from, p);
        canvas.LineTo(to, p);
    }
}

void TChartAxis::DrawTicksAndGrid(ChartCanvas& canvas, int p, double value)
{
    const TChartRect& plot = chart_->PlotRect();
    if (ticks_.Visible()) {
        canvas.SetPen(ticks_.Color(), ticks_.Width(), ticks_.Style());
        DrawTick(canvas, p, +1, tickLength_);
    }
    if (grid_.Visible() && value != scaleMax_ && value != scaleMin_) {
        int g = p;
        bool draw = true;
        if (gridCentered_) {
            draw = lastTickPos_ >= 0;
            g = (p + lastTickPos_) / 2;
        }
        if (draw) {
            // Transparent: the gaps of the dots keep what is beneath.
            canvas.SetPen(grid_.Color() == ColorUnset ? clGray : grid_.Color(), grid_.Width(), grid_.Style());
            switch (place_) {
            case TAxisPlace::Bottom: canvas.MoveTo(g, axisLinePos_ - 1); canvas.LineTo(g, plot.Top); break;
            case TAxisPlace::Top: canvas.MoveTo(g, axisLinePos_ + 1); canvas.LineTo(g, plot.Bottom); break;
            case TAxisPlace::Left: canvas.MoveTo(axisLinePos_ + 1, g); canvas.LineTo(plot.Right, g); break;
            case TAxisPlace::Right: canvas.MoveTo(axisLinePos_ - 1, g); canvas.LineTo(plot.Left, g); break;
            }
        }
    }
    if (ticksInner_.Visible() && tickInnerLength_ > 0) {
        canvas.SetPen(ticksInner_.Color(), ticksInner_.Width(), ticksInner_.Style());
        DrawTick(canvas, p, -1, tickInnerLength_);
    }
    if (minorTicks_.Visible() && lastTickPos_ >= 0) {
        canvas.SetPen(minorTicks_.Color(), minorTicks_.Width(), minorTicks_.Style());
        for (int i = 1; i <= minorTickCount_; ++i) {
            const int m = p - RoundToInt((static_cast<double>(p - lastTickPos_) / (minorTickCount_ + 1)) * i);
            DrawTick(canvas, m, +1, minorTickLength_);
        }
    }
    lastTickPos_ = p;
}
