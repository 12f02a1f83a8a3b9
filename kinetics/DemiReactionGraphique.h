#pragma once
// The graphical half-reaction time, as read by hand in class: the first time
// at which the measured curve, the points joined by straight lines, reaches
// half of the way from the first point's value to the final value:
//   y_demi = y[0] + (yFinal - y[0]) / 2,
// counted from t[0]. The curve may rise or fall (yFinal below y[0]).
// No value (std::nullopt) when the curve never reaches y_demi, or when
// yFinal equals y[0] (no way to go).
//
//   t = 0 10 20 30, y = 0 4 8 9, yFinal 10 -> 12.5 (y_demi = 5, between 4 and 8)
//   t = 0 10 20,    y = 5 3 1,   yFinal 1  -> 10   (falling; y_demi = 3 reached at 10)
//   t = 0 10 20,    y = 0 1 2,   yFinal 10 -> none
//
// Preconditions (asserted): t and y of the same size, not empty.
#include <optional>
#include <span>

namespace Cinetique {

std::optional<double> DemiReactionGraphique(std::span<const double> t, std::span<const double> y, double yFinal);

} // namespace Cinetique
