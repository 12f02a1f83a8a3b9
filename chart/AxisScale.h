#pragma once
// Axis arithmetic, apart from any drawing: label step, number of labels that
// fit, label values, label text and the value-to-pixel map. Plain functions
// and small value types that tests drive without a window.
#include <string>
#include <string_view>
#include <vector>

namespace axis_scale {

// The smallest label step ever used.
inline constexpr double kMinStep = 1e-12;
// Above this many steps a scale shows no labels.
inline constexpr double kMaxLabelSteps = 10000.0;
// The largest 32-bit integer: label indexes must stay below it.
inline constexpr double kMaxLabelIndex = 2147483647.0;
// Decimals of a label when the step asks for no more ("#,##0.###").
inline constexpr int kDefaultLabelDecimals = 3;
// The most decimals a fixed label is ever given.
inline constexpr int kMaxLabelDecimals = 20;
// Characters (separators included) beyond which a fixed label is too wide
// and the general number format is used instead.
inline constexpr int kMaxFixedLabelLength = 15;
// Pixels further than this from the origin are out of reach of line drawing
// (coordinates of at most 2^29, far beyond any screen).
inline constexpr double kFarPixel = 536870912.0;

// Nearest integer, halves to even (the default floating-point rounding).
double RoundHalfEven(double v);
// Nearest integer, halves to even, clamped into the int range.
int RoundToInt(double v);

// The next step of the 1-2-5 sequence after s (s > 0): 1 -> 2 -> 5 -> 10,
// scaled by powers of ten and computed in floating point (0.1 -> 0.2 is
// 2 * 0.1, not the decimal 0.2). NextNiceStep(3) = 5, NextNiceStep(0.5) = 1.
// Always greater than a finite s: below the smallest normal double, where the
// next 1-2-5 value cannot be told apart from s, it is the first normal one
// (5e-308).
double NextNiceStep(double s);

// How many labels of `labelSize` pixels (before separation) fit in `length`
// pixels, with `separationPercent` of a label's size between labels.
// 1 when the size is 0 or less.
int MaxLabelCount(int labelSize, int separationPercent, int length);

// The label step of a numeric scale `range` wide with at most
// `maxLabelCount` labels: the wished `increment` (or 1, or 1e-12 for a scale
// narrower than 1) grown along the 1-2-5 sequence until round(range / step)
// fits. Never below 1e-12. A wished increment that is not a finite normal
// number counts as none. The search ends for any range.
// Examples: range 0.3, 15 labels -> 0.02; range 59.00767, 5 labels -> 20;
// range 1.5, 20 labels -> 1.
double LabelStep(double range, double increment, int maxLabelCount, int separationPercent);

// The label values of [scaleMin, scaleMax] for `step`, from the top down:
// the first candidate is trunc(scaleMax / step) * step (or scaleMax when not
// rounding, or when the scale is a single value), stepped down by repeated
// subtraction. `labelsOnAxis` lets labels sit exactly on the ends. Empty when
// the scale would need 10000 labels or more, or its top label index does not
// fit in 32 bits.
std::vector<double> LabelValues(double scaleMin, double scaleMax, double step, bool roundFirstLabel,
                                bool labelsOnAxis);

// "#,##0.###": at least one integer digit, integer digits grouped by three
// with `thousandsSeparator`, at most `decimals` decimals (three by default)
// after `decimalSeparator` with trailing zeros dropped, "-" before negative
// values. The value is first reduced to 18 significant digits, then rounded
// to `decimals` decimals with a following digit of 5 or more rounding up in
// magnitude; a negative value that rounds to zero gives "0".
// With ',' and " ": 12 -> "12", 2.5 -> "2,5", -3.25 -> "-3,25",
// 0.0126 -> "0,013", -0.0004 -> "0", 1234.5678 -> "1 234,568";
// with 4 decimals: 0.0004 -> "0,0004", 1035.05625 -> "1 035,0563".
std::string FormatAxisValue(double value, char decimalSeparator, std::string_view thousandsSeparator,
                            int decimals = kDefaultLabelDecimals);

// How an axis writes its labels, chosen from its label step so that two
// neighbouring labels never read the same.
struct LabelFormat {
    // Fixed form: the decimals written (FormatAxisValue). General form: the
    // decimal place of the last digit needed (negative for tens, hundreds...).
    int decimals = kDefaultLabelDecimals;
    // The program's general number format instead of the fixed one.
    bool general = false;
    bool operator==(const LabelFormat&) const = default;
};

// Decimals that tell multiples of `step` apart: three for a step of 0.001
// or more, one more for each decade below (0.0002 -> 4, 1e-12 -> 12).
// Three for a step that is not a positive finite number.
int LabelDecimals(double step);

// The labels of a scale from `scaleMin` to `scaleMax` stepped by `step`: the
// fixed form with LabelDecimals(step) decimals, unless a scale end would
// then be written with more than kMaxFixedLabelLength characters; then the
// general form down to the step's last digit. A step close to a power of ten
// without being it (a wished increment of 0.0009995) takes one place more
// when, over the labels up to the larger end, it would drift by a quarter of
// a unit from the multiples of that power: two neighbours could then read
// the same.
// Step 0.0002 -> 4 decimals; step 0.02 on 1000..1000.3 -> 3 decimals (the
// fixed "#,##0.###"); step 1e299 on 0..1e300 -> general, to the 1e299 digit.
LabelFormat ChooseLabelFormat(double step, double scaleMin, double scaleMax);

// `value` as a label of `format`. The general form is FormatGeneral's text
// with as many significant digits as reach the last needed digit (at least
// 2, at most 18), with `decimalSeparator`, and "0" for a value below half a
// unit of that digit. With ',': 9e299 -> "9E299" when the last digit is the
// 1e299 one; 1035.05000000002 -> "1035,05000000002" when it is the 1e-11 one.
std::string FormatAxisLabel(double value, const LabelFormat& format, char decimalSeparator,
                            std::string_view thousandsSeparator);

// Where a value of a scale falls on an axis of `length` pixels from `origin`
// (left edge of a horizontal axis, bottom edge of a vertical one).
struct ScaleMap {
    double scaleMin = 0.0, scaleMax = 0.0;
    int plotStart = 0; // PlotRect.left (horizontal) or PlotRect.top (vertical)
    int plotEnd = 0;   // PlotRect.right or PlotRect.bottom
    int center = 0;    // PlotXCenter or PlotYCenter
    bool horizontal = true;
    bool inverted = false;

    double Range() const { return scaleMax - scaleMin; }
    int Length() const { return plotEnd - plotStart; }
    // Rounded to nearest, halves to even; the centre for a zero-width scale.
    // Clamped into +-kFarPixel (NaN gives 0).
    int ValueToPixel(double v) const;
    // The same pixel before clamping: possibly far off the surface after a
    // deep zoom, not finite when v is not.
    double ExactPixel(double v) const;
    // 0 when the axis has no length.
    double PixelToValue(int p) const;
};

// A pixel coordinate clamped into +-kFarPixel; 0 for NaN.
int ClampPixel(double p);

// Cuts the segment (x0, y0)-(x1, y1) of pixel coordinates to the square
// +-kFarPixel, keeping its direction, so that the part on the surface is
// drawn where it belongs even when an end lies millions of plot widths away.
// False when no part lies inside or a coordinate is not finite; a segment
// inside the square is left as it is.
bool ClipToFarSquare(double& x0, double& y0, double& x1, double& y1);

} // namespace axis_scale
