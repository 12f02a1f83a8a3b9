#pragma once
// Number text: the one format in which the program writes numbers and the one
// rule by which it reads them, both under the process-wide decimal separator.
//
// FormatGeneral(value, precision) writes `value` rounded to `precision`
// significant digits (clamped to kMinPrecision..kMaxPrecision). The value is
// first converted to 18 significant digits rounded to nearest, and that digit
// string is rounded to `precision` digits, half up in magnitude (a carry may
// add a digit in front). Trailing zeros are dropped. With the rounded value
// written as 0.d1d2... x 10^e, fixed notation is used for -3 <= e <= precision,
// scientific notation otherwise ("E", a minus sign only for a negative
// exponent, no leading zeros). Infinities give "INF", NaN gives "NAN", zero
// (of either sign) gives "0". No thousands separator.
//
// ReadNumber(text) reads: spaces, an optional sign, digits with an optional
// decimal separator and more digits (at least one of these characters; a
// lone separator reads as 0), an optional exponent ("E" or "e", optional
// sign, digits, of which there may be none, as in the mantissa: "1e" reads
// as 1; digits are taken only while the exponent is below kExposantMaxLu),
// spaces, and the end of the text. Anything else, or a value
// too large for a long double, throws EConvertError with the message
// "'<text>' n'est pas une valeur en virgule flottante correcte".
//
// Examples with the separator ',':
//   FormatGeneral(0, 4)            -> "0"
//   FormatGeneral(0.5, 4)          -> "0,5"
//   FormatGeneral(1.00013, 4)      -> "1"
//   FormatGeneral(0.0001, 4)       -> "0,0001"
//   FormatGeneral(0.00001, 4)      -> "1E-5"
//   FormatGeneral(12345, 4)        -> "1,235E4"
//   FormatGeneral(9999.5, 4)       -> "1E4"
//   FormatGeneral(-0.000205254, 4) -> "-0,0002053"
//   FormatGeneral(123456.7, 6)     -> "123457"
//   ReadNumber(" 0,25 ")           -> 0.25
//   ReadNumber("1E+5")             -> 100000
//   ReadNumber(",")                -> 0
//   ReadNumber("0.25")             -> throws "'0.25' n'est pas une valeur en virgule flottante correcte"
#include <string>

namespace NumberText {
inline constexpr int kMinPrecision = 2;
inline constexpr int kMaxPrecision = 18;
// Significant digits of the first, exact-to-nearest decimal conversion.
inline constexpr int kChiffresConversion = 18;
// Exponent digits are no longer taken once the exponent has reached this.
inline constexpr int kExposantMaxLu = 500;
} // namespace NumberText

std::string FormatGeneral(long double value, int precision);
long double ReadNumber(const std::string& text);

// The process-wide decimal separator. At start it is the environment's
// regional setting (LC_NUMERIC), or ',' where none is set (C/POSIX locale).
char DecimalSeparator();
void SetDecimalSeparator(char separator);
