#include "runtime/CheckedFloat.h"

#include "runtime/Exceptions.h"

#include <cmath>

namespace {

long double Classified(long double a, long double b, long double result)
{
    const bool operandsNan = std::isnan(a) || std::isnan(b);
    if (std::isnan(result) && !operandsNan)
        throw EInvalidOp();
    if (std::isinf(result) && std::isfinite(a) && std::isfinite(b))
        throw EOverflow();
    return result;
}

} // namespace

namespace Checked {

long double Add(long double a, long double b) { return Classified(a, b, a + b); }
long double Subtract(long double a, long double b) { return Classified(a, b, a - b); }
long double Multiply(long double a, long double b) { return Classified(a, b, a * b); }

long double Divide(long double a, long double b)
{
    if (b == 0 && std::isfinite(a) && a != 0)
        throw EZeroDivide();
    return Classified(a, b, a / b);
}

double ToDouble(long double value)
{
    const double narrowed = static_cast<double>(value);
    if (std::isinf(narrowed) && std::isfinite(value))
        throw EOverflow();
    return narrowed;
}

} // namespace Checked
