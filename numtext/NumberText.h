#pragma once
// Number text: the one format in which the program writes numbers and the one
// rule by which it reads them, both under the decimal separator the caller
// passes (no formatting state is shared between threads).
//
// FormatGeneral(value, precision, separator) writes `value` rounded to `precision`
// significant digits (clamped to kMinPrecision..kMaxPrecision). The value is
// first converted to 18 significant digits rounded to nearest, and that digit
// string is rounded to `precision` digits, half up in magnitude (a carry may
// add a digit in front). Trailing zeros are dropped. With the rounded value
// written as 0.d1d2... x 10^e, fixed notation is used for -3 <= e <= precision,
// scientific notation otherwise ("E", a minus sign only for a negative
// exponent, no leading zeros). Infinities give "INF", NaN gives "NAN", zero
// (of either sign) gives "0". No thousands separator.
//
// ReadNumber(text, separator) reads: spaces, an optional sign, digits with an optional
// decimal separator and more digits (at least one of these characters; a
// lone separator reads as 0), an optional exponent ("E" or "e", optional
// sign, digits, of which there may be none, as in the mantissa: "1e" reads
// as 1; digits are taken only while the exponent is below kExposantMaxLu),
// spaces, and the end of the text. Anything else, or a value
// too large for a long double, throws EConvertError with the message
// "'<text>' n'est pas une valeur en virgule flottante correcte".
//
// Examples, all with the separator ',':
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

std::string FormatGeneral(long double value, int precision, char separator);
long double ReadNumber(const std::string& text, char separator);

// The two steps of decimal rounding that FormatGeneral takes, for other
// formats of the program (the chart's axis labels) to write numbers alike.
namespace NumberText {
// The significant digits of a value: |value| = 0.d1d2...d18 x 10^exponent,
// the kChiffresConversion digits rounded to nearest (the C library's
// conversion is exact). Zero gives eighteen '0' and exponent 1; `negative`
// is the sign bit (set for -0). Only for finite values.
// Example: 1234.5 -> "123450000000000000", exponent 4.
struct SignificantDigits {
    bool negative = false;
    char digits[kChiffresConversion] = {};
    int exponent = 0;
};
SignificantDigits DigitsOf(long double value);

// Adds one to the decimal number written by the digits [first, last) (the
// rounding up of a digit string), carrying through nines. True when the carry
// passes the first digit: every digit was '9' and is now '0', and the caller
// writes the 1 in front. "129" -> "130" (false); "99" -> "00" (true).
bool IncrementDigits(char* first, char* last);
} // namespace NumberText

// The window's decimal separator: the default that code on the window's
// thread reads and passes down to the formats above. At start it is the
// environment's regional setting (LC_NUMERIC), or ',' where none is set
// (C/POSIX locale). Set only at start and by tests; never flipped for a
// while to make another text (a report, an export): those pass their own.
// Atomic, so that reading it is safe from any thread.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The environment's thousands separator (LC_NUMERIC of the regional
// settings, read once), as UTF-8; a no-break space (U+00A0) where the
// setting has none, as in the C/POSIX locale.
const std::string& SystemThousandsSeparator();
