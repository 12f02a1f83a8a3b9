#include "chart/AxisScale.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace axis_scale {

namespace {

// Pixels further than this from the origin are clamped: line drawing works on
// coordinates of at most 2^29, far beyond any screen.
constexpr double kFarPixel = 536870912.0;

int ClampPixel(double p)
{
    if (std::isnan(p))
        return 0;
    return static_cast<int>(std::clamp(p, -kFarPixel, kFarPixel));
}

// The significant digits of v to 18 places, v = 0.d1d2...d18 x 10^exponent.
struct Digits18 {
    bool negative = false;
    char digits[18] = {};
    int exponent = 0;
};

Digits18 ToDigits18(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17e", v);
    Digits18 d;
    const char* c = text;
    if (*c == '-') {
        d.negative = true;
        ++c;
    }
    int n = 0;
    for (; *c != 'e' && *c != '\0'; ++c)
        if (*c >= '0' && *c <= '9' && n < 18)
            d.digits[n++] = *c;
    d.exponent = (*c == 'e') ? std::atoi(c + 1) + 1 : 1;
    return d;
}

} // namespace

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
    if (!(step > 0.0))
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

std::string FormatAxisValue(double value, char decimalSeparator, std::string_view thousandsSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";

    // Digits of the integer part and the first three decimals, then the digit
    // that decides the rounding.
    const Digits18 d = ToDigits18(value);
    const int integerDigits = std::max(d.exponent, 0);
    // Fraction digit j (0-based) is digit e + j of the 18 (0 where outside).
    std::string kept; // integer digits then three decimals
    for (int i = 0; i < integerDigits; ++i)
        kept.push_back(i < 18 ? d.digits[i] : '0');
    if (integerDigits == 0)
        kept.push_back('0');
    for (int j = 0; j < 3; ++j) {
        const int k = integerDigits + j + (d.exponent < 0 ? d.exponent : 0);
        kept.push_back((k >= 0 && k < 18) ? d.digits[k] : '0');
    }
    const int next = integerDigits + 3 + (d.exponent < 0 ? d.exponent : 0);
    const char decider = (next >= 0 && next < 18) ? d.digits[next] : '0';
    if (decider >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++kept[static_cast<std::size_t>(i)];
        else
            kept.insert(kept.begin(), '1');
    }

    std::string integer = kept.substr(0, kept.size() - 3);
    std::string decimals = kept.substr(kept.size() - 3);
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = (firstNonZero == std::string::npos) ? "0" : integer.substr(firstNonZero);
    while (!decimals.empty() && decimals.back() == '0')
        decimals.pop_back();

    std::string text;
    if (d.negative && !(integer == "0" && decimals.empty()))
        text.push_back('-');
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            text.append(thousandsSeparator);
        text.push_back(integer[i]);
    }
    if (!decimals.empty()) {
        text.push_back(decimalSeparator);
        text.append(decimals);
    }
    return text;
}

const std::string& SystemThousandsSeparator()
{
    static const std::string separator = [] {
        std::string s;
        locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
        if (loc != static_cast<locale_t>(nullptr)) {
            if (const char* sep = nl_langinfo_l(THOUSEP, loc); sep != nullptr)
                s = sep;
            freelocale(loc);
        }
        // A single byte above 0x7F is a Latin-1 character (a locale in a
        // one-byte encoding): keep it as UTF-8.
        if (s.size() == 1 && static_cast<unsigned char>(s[0]) >= 0x80) {
            const auto c = static_cast<unsigned char>(s[0]);
            s = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        }
        if (s.empty())
            s = "\xC2\xA0"; // no-break space
        return s;
    }();
    return separator;
}

int ScaleMap::ValueToPixel(double v) const
{
    const double range = Range();
    if (range == 0.0)
        return center;
    const double term = RoundHalfEven(Length() * (v - scaleMin) / range);
    double p;
    if (horizontal)
        p = inverted ? plotEnd - term : plotStart + term;
    else
        p = inverted ? plotStart + term : plotEnd - term;
    return ClampPixel(p);
}

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
