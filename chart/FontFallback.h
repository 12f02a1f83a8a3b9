#pragma once
// The font that draws the characters the program's faces lack.
//
// The program's faces are Liberation Sans and what resolves to it ("Arial"
// on the charts, "MS Sans Serif" in the windows): the same metrics as the
// faces the layouts were drawn with, but without the superscripts the units
// and the exponents use (⁻, ⁴…⁹: "s⁻¹", "·10⁻⁴"). DejaVu Sans, which the
// program's package installs with it, has them. Left to the system, Qt takes
// a missing character from whatever font fontconfig ranks first on that
// machine, or draws a box when none has it.
//
// WithFallbackFamily(font) names both: the family the font resolves to
// first, then DejaVu Sans. Qt draws each character from the first of the two
// that has it: what Liberation Sans has is drawn exactly as before, the rest
// from DejaVu Sans on every machine.
//
//   WithFallbackFamily(QFont("Arial")).families() -> {"Liberation Sans", "DejaVu Sans"}
//
// The resolved family is named rather than the one asked for: a list whose
// first family is only an alias ("Arial") makes Qt skip it for the second.
#include <QFont>

inline constexpr const char* kFallbackFamily = "DejaVu Sans";

// Needs the application object (the family is resolved through the
// platform's font database).
QFont WithFallbackFamily(QFont font);
