#pragma once
// Floating-point steps that raise the framework's errors.
//
// Each step is classified from its operands and its result rather than from
// the FPU's sticky flags: GCC does not honour FENV_ACCESS and moves divisions
// across feclearexcept/fetestexcept at -O2, so flags cannot be trusted.
//   - a NaN result from operands that are not NaN  -> EInvalidOp   (0/0, inf-inf, 0*inf)
//   - a finite non-zero value divided by zero      -> EZeroDivide
//   - an infinite result from finite operands      -> EOverflow
//   - a conversion to double that does not fit     -> EOverflow
// Underflow and inexact results are not errors. NaN and infinite operands pass
// through quietly, as they would on the FPU with its exceptions masked.
namespace Checked {

long double Add(long double a, long double b);
long double Subtract(long double a, long double b);
long double Multiply(long double a, long double b);
long double Divide(long double a, long double b);

// Narrows an extended value to a double; a finite value beyond the double
// range is an overflow.
double ToDouble(long double value);

} // namespace Checked
