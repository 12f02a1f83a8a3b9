// Fuzz target: the chart's axis arithmetic for any scale ends and wished
// increment (denormals, infinities, NaN and huge ranges included), as an axis
// runs it at every paint: label step, label values, label format and texts,
// and the pixels of the labels.
//
// Input: three doubles (scale minimum, scale maximum, wished increment, in
// the machine's byte order), then a 32-bit count of labels that fit, then a
// byte of separation percent and a byte of flags (round the first label,
// labels on the scale's ends); missing bytes count as zeros.
//
// Properties, for every input:
//   - every call returns (the step search and the label loops end) and no
//     sanitizer reports;
//   - the step is at least 1e-12 and, for a finite range and a positive
//     separation, leaves no more labels than fit (while its index fits);
//   - the labels run strictly downwards within the scale, 10 000 at most;
//   - two neighbouring labels never read the same.
#include "FuzzSupport.h"
#include "chart/AxisScale.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace axis_scale;
using Fuzz::Exiger;

struct Input {
    double scaleMin = 0.0, scaleMax = 0.0, increment = 0.0;
    std::int32_t maxLabelCount = 0;
    int separationPercent = 0;
    bool roundFirstLabel = false, labelsOnAxis = false;
};

Input Decode(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t bytes[3 * sizeof(double) + sizeof(std::int32_t) + 2] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    Input in;
    const std::uint8_t* p = bytes;
    for (double* d : {&in.scaleMin, &in.scaleMax, &in.increment}) {
        std::memcpy(d, p, sizeof(double));
        p += sizeof(double);
    }
    std::memcpy(&in.maxLabelCount, p, sizeof in.maxLabelCount);
    p += sizeof in.maxLabelCount;
    in.separationPercent = p[0];
    in.roundFirstLabel = (p[1] & 1) != 0;
    in.labelsOnAxis = (p[1] & 2) != 0;
    return in;
}

std::string Describe(const Input& in, double step)
{
    char text[200];
    std::snprintf(text, sizeof text, "min %a max %a increment %a count %d separation %d flags %d%d step %a",
                  in.scaleMin, in.scaleMax, in.increment, static_cast<int>(in.maxLabelCount),
                  in.separationPercent, in.roundFirstLabel, in.labelsOnAxis, step);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Input in = Decode(data, size);
    // An axis's scale runs upwards (SetMinMax orders its ends).
    const double lo = std::fmin(in.scaleMin, in.scaleMax), hi = std::fmax(in.scaleMin, in.scaleMax);
    const double range = hi - lo;

    if (std::isfinite(in.increment) && in.increment > 0)
        Exiger(NextNiceStep(in.increment) > in.increment, "the next 1-2-5 step is larger",
               Describe(in, in.increment));

    const double step = LabelStep(range, in.increment, in.maxLabelCount, in.separationPercent);
    const std::string what = Describe(in, step);
    Exiger(step >= kMinStep, "the step is at least 1e-12", what, step);
    if (std::isfinite(range) && in.separationPercent > 0 && in.maxLabelCount > 0 &&
        std::fabs(range / step) < kMaxLabelIndex)
        Exiger(RoundHalfEven(range / step) <= in.maxLabelCount, "no more labels than fit", what, step);

    const LabelFormat format = ChooseLabelFormat(step, lo, hi);
    const std::vector<double> values = LabelValues(lo, hi, step, in.roundFirstLabel, in.labelsOnAxis);
    Exiger(values.size() <= static_cast<std::size_t>(kMaxLabelSteps) + 1, "at most 10 000 labels", what);

    ScaleMap map;
    map.scaleMin = lo;
    map.scaleMax = hi;
    map.plotEnd = 1000;
    map.center = 500;
    std::string previous;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double v = values[i];
        Exiger(v >= lo && v <= hi, "a label lies within the scale", what, v);
        if (i > 0)
            Exiger(v < values[i - 1], "labels run downwards", what, v);
        const std::string text = FormatAxisLabel(v, format, ',', " ");
        Exiger(!text.empty(), "a label has a text", what, v);
        if (i > 0)
            Exiger(text != previous, "neighbouring labels differ", what + " text " + text, v);
        previous = text;
        const int pixel = map.ValueToPixel(v);
        Exiger(pixel >= -1 && pixel <= 1001, "a label falls on the axis", what, v);
    }
    return 0;
}
