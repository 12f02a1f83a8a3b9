#include "chart/AxisScale.h"

#include "numtext/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace axis_scale {

namespace {

// The decimal place of the leading digit of a positive finite step, counted
// as decimals: 0.0002 -> 4, 0.001 -> 3, 1 -> 0, 1e299 -> -299. A step
// computed a hair below its 1-2-5 value (9.9999999999999991e-5) counts as
// that value.
int DecimalPlaceOf(double step)
{
    constexpr double kSlack = 0.000434; // log10(1.001)
    const double place = -std::floor(std::log10(step) + kSlack);
    return static_cast<int>(std::clamp(place, -400.0, 400.0));
}

// Whether neighbouring labels, multiples of `step` up to the larger end of
// the scale, could round to the same digits at the step's decimal place: the
// step is near that place's unit without being it (a wished increment such
// as 0.0009995), and over the labels' indexes the difference adds up to a
// quarter of the unit. Labels whose index does not fit in 32 bits are never
// drawn.
bool LabelsCouldMeet(double step, double scaleMin, double scaleMax)
{
    const double unit = std::pow(10.0, -DecimalPlaceOf(step));
    const double index = std::max(std::fabs(scaleMin), std::fabs(scaleMax)) / step;
    if (!(index < kMaxLabelIndex) || step >= 1.5 * unit)
        return false;
    return std::fabs(step - unit) * index >= 0.25 * unit;
}

} // namespace

int ClampPixel(double p)
{
    if (std::isnan(p))
        return 0;
    return static_cast<int>(std::clamp(p, -kFarPixel, kFarPixel));
}

bool ClipToFarSquare(double& x0, double& y0, double& x1, double& y1)
{
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return false;
    // Liang-Barsky: the part of the segment, as parameters t from 0 to 1,
    // that stays within each of the four edges. Everything is halved so that
    // no difference overflows, whatever the ends.
    const double hx = x1 * 0.5 - x0 * 0.5, hy = y1 * 0.5 - y0 * 0.5, hFar = kFarPixel * 0.5;
    double t0 = 0.0, t1 = 1.0;
    auto within = [&](double p, double q) { // p t <= q
        if (p == 0.0)
            return q >= 0.0;
        const double t = q / p;
        if (p < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!within(-hx, x0 * 0.5 + hFar) || !within(hx, hFar - x0 * 0.5) || !within(-hy, y0 * 0.5 + hFar) ||
        !within(hy, hFar - y0 * 0.5))
        return false;
    auto at = [](double start, double half, double t) {
        return std::clamp(std::nearbyint(start + t * half + t * half), -kFarPixel, kFarPixel);
    };
    const double sx = x0, sy = y0;
    if (t1 < 1.0) {
        x1 = at(sx, hx, t1);
        y1 = at(sy, hy, t1);
    }
    if (t0 > 0.0) {
        x0 = at(sx, hx, t0);
        y0 = at(sy, hy, t0);
    }
    return true;
}

double RoundHalfEven(double v) { return std::nearbyint(v); }

int RoundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

double NextNiceStep(double s)
{
    if (!std::isfinite(s))
        return s;
    if (s <= 0.0)
        return kMinStep;
    // Denormals carry too few digits for the decades below to come back
    // above s: continue from the smallest normal double instead.
    if (s < DBL_MIN)
        return NextNiceStep(DBL_MIN);
    if (s >= 10.0)
        return NextNiceStep(s / 10.0) * 10.0;
    if (s < 1.0)
        return NextNiceStep(s * 10.0) * 0.1;
    if (s < 2.0)
        return 2.0;
    if (s < 5.0)
        return 5.0;
    return 10.0;
}

int MaxLabelCount(int labelSize, int separationPercent, int length)
{
    int size = labelSize;
    if (separationPercent > 0)
        size += RoundToInt(separationPercent * 0.01 * size);
    if (size <= 0)
        return 1;
    return RoundToInt(static_cast<double>(length) / size);
}

double LabelStep(double range, double increment, int maxLabelCount, int separationPercent)
{
    if (maxLabelCount <= 0)
        return kMinStep;
    double step = increment;
    // Zero asks for a step to be chosen; what is not a finite normal
    // positive number cannot start the search (a denormal cannot even grow).
    if (!(step > 0.0 && std::isnormal(step)))
        step = std::fabs(range) >= 1.0 ? 1.0 : kMinStep;
    if (separationPercent > 0 && std::isfinite(range)) {
        for (;;) {
            const double d = range / step;
            if (std::fabs(d) < kMaxLabelIndex && RoundHalfEven(d) <= maxLabelCount)
                break;
            step = NextNiceStep(step);
        }
    }
    return std::max(step, kMinStep);
}

std::vector<double> LabelValues(double scaleMin, double scaleMax, double step, bool roundFirstLabel,
                                bool labelsOnAxis)
{
    std::vector<double> values;
    if (!(step > 0.0) || std::isnan(scaleMin) || std::isnan(scaleMax))
        return values;
    double t = scaleMax / step;
    if (std::fabs(t) >= kMaxLabelIndex || std::fabs((scaleMax - scaleMin) / step) >= kMaxLabelSteps)
        return values;
    if (scaleMin == scaleMax)
        t = scaleMax;
    else if (roundFirstLabel)
        t = std::trunc(t) * step;
    else
        t = scaleMax;
    if (labelsOnAxis) {
        while (t > scaleMax)
            t -= step;
        while (t >= scaleMin && values.size() <= static_cast<std::size_t>(kMaxLabelSteps)) {
            values.push_back(t);
            t -= step;
        }
    } else {
        while (t >= scaleMax)
            t -= step;
        while (t > scaleMin && values.size() <= static_cast<std::size_t>(kMaxLabelSteps)) {
            values.push_back(t);
            t -= step;
        }
    }
    return values;
}

std::string FormatAxisValue(double value, char decimalSeparator, std::string_view thousandsSeparator,
                            int decimals)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const int places = std::clamp(decimals, 0, kMaxLabelDecimals);

    // Digits of the integer part and the first decimals, then the digit that
    // decides the rounding.
    const NumberText::SignificantDigits d = NumberText::DigitsOf(value);
    const int integerDigits = std::max(d.exponent, 0);
    // Fraction digit j (0-based) is significant digit e + j (0 where outside).
    std::string kept; // integer digits then the decimals
    for (int i = 0; i < integerDigits; ++i)
        kept.push_back(i < NumberText::kChiffresConversion ? d.digits[i] : '0');
    if (integerDigits == 0)
        kept.push_back('0');
    for (int j = 0; j < places; ++j) {
        const int k = integerDigits + j + (d.exponent < 0 ? d.exponent : 0);
        kept.push_back((k >= 0 && k < NumberText::kChiffresConversion) ? d.digits[k] : '0');
    }
    const int next = integerDigits + places + (d.exponent < 0 ? d.exponent : 0);
    const char decider = (next >= 0 && next < NumberText::kChiffresConversion) ? d.digits[next] : '0';
    if (decider >= '5' && NumberText::IncrementDigits(kept.data(), kept.data() + kept.size()))
        kept.insert(kept.begin(), '1');

    const std::size_t split = kept.size() - static_cast<std::size_t>(places);
    std::string integer = kept.substr(0, split);
    std::string fraction = kept.substr(split);
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = (firstNonZero == std::string::npos) ? "0" : integer.substr(firstNonZero);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();

    std::string text;
    if (d.negative && !(integer == "0" && fraction.empty()))
        text.push_back('-');
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            text.append(thousandsSeparator);
        text.push_back(integer[i]);
    }
    if (!fraction.empty()) {
        text.push_back(decimalSeparator);
        text.append(fraction);
    }
    return text;
}

int LabelDecimals(double step)
{
    if (!(step > 0.0) || !std::isfinite(step))
        return kDefaultLabelDecimals;
    return std::clamp(DecimalPlaceOf(step), kDefaultLabelDecimals, kMaxLabelDecimals);
}

LabelFormat ChooseLabelFormat(double step, double scaleMin, double scaleMax)
{
    const bool usable = step > 0.0 && std::isfinite(step);
    int place = usable ? DecimalPlaceOf(step) : kDefaultLabelDecimals;
    if (usable && LabelsCouldMeet(step, scaleMin, scaleMax))
        ++place;
    const int decimals = std::max(LabelDecimals(step), std::min(place, kMaxLabelDecimals));
    // One-byte separators: the text's size is its number of characters.
    const std::size_t widest = std::max(FormatAxisValue(scaleMin, ',', " ", decimals).size(),
                                        FormatAxisValue(scaleMax, ',', " ", decimals).size());
    if (widest <= static_cast<std::size_t>(kMaxFixedLabelLength))
        return {decimals, false};
    return {place, true};
}

std::string FormatAxisLabel(double value, const LabelFormat& format, char decimalSeparator,
                            std::string_view thousandsSeparator)
{
    if (!format.general || !std::isfinite(value))
        return FormatAxisValue(value, decimalSeparator, thousandsSeparator, format.decimals);
    // A label computed as 0 by repeated subtraction may come out as 1e-17:
    // anything below half a unit of the last digit reads 0.
    const double magnitude = std::log10(std::fabs(value));
    if (!(magnitude >= std::log10(0.5) - format.decimals))
        return "0";
    const double digits = std::floor(magnitude) + 1.0 + format.decimals;
    const int precision = static_cast<int>(std::clamp(digits, static_cast<double>(NumberText::kMinPrecision),
                                                      static_cast<double>(NumberText::kMaxPrecision)));
    return FormatGeneral(value, precision, decimalSeparator);
}

double ScaleMap::ExactPixel(double v) const
{
    const double range = Range();
    if (range == 0.0)
        return center;
    double offset = Length() * (v - scaleMin) / range;
    // Near the top of the double range the product overflows: divide first.
    if (std::isinf(offset) && std::isfinite(v - scaleMin) && std::isfinite(range))
        offset = (v - scaleMin) / range * Length();
    const double term = RoundHalfEven(offset);
    if (horizontal)
        return inverted ? plotEnd - term : plotStart + term;
    return inverted ? plotStart + term : plotEnd - term;
}

int ScaleMap::ValueToPixel(double v) const { return ClampPixel(ExactPixel(v)); }

double ScaleMap::PixelToValue(int p) const
{
    const int length = Length();
    if (length < 1)
        return 0.0;
    if (horizontal) {
        const int offset = inverted ? plotEnd - p : p - plotStart;
        return Range() * offset / length + scaleMin;
    }
    const int offset = inverted ? plotEnd - p : p - plotStart;
    return scaleMax - offset * Range() / length;
}

} // namespace axis_scale
