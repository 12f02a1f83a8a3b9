#pragma once
// The derivative dy/dt of sampled data by a Savitzky–Golay filter: at each
// point, the quadratic fitted by least squares to the `fenetre` points
// around it (an odd number, the point in the middle), differentiated there.
// At the ends, where the window would leave the data, the first (or last)
// `fenetre` points are fitted and the quadratic is differentiated at the
// point itself, so every point gets a derivative of the same degree.
// The sampling need not be even: each window is fitted on its own times
// (Eigen's Householder QR on times scaled to the window); evenly sampled data
// reuse one set of weights for every window in the middle.
//
// Examples:
//   t = 0 1 2 3 4, y = t², fenetre 3   -> 0 2 4 6 8 (exact for a quadratic)
//   t = 0 1 2 3 4 5 6, y = 2·t + 1     -> 2 everywhere
//
// FenetreParDefaut(n): the odd number nearest n / 20, at least 5 and at most
// 51, and never more than n (down to 3): about a twentieth of the run, enough
// points to average the noise away, few enough to follow the curve.
//
// Preconditions (asserted): t and y of the same size, t strictly increasing,
// fenetre odd, 3 <= fenetre <= t.size().
#include <span>
#include <vector>

namespace Cinetique {

inline constexpr int kFenetreMinimale = 3;

int FenetreParDefaut(int points);

std::vector<double> DeriveeSavitzkyGolay(std::span<const double> t, std::span<const double> y, int fenetre);

} // namespace Cinetique
