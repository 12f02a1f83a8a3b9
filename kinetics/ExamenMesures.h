#pragma once
// What real lab data hold besides the reaction, found before and after the
// fit: the baseline recorded before the reaction starts, a sudden step (a
// flask opened, a stopper that pops, a vent), a maximum after which the gas
// is consumed, a point far off the curve, and pressures rounded so coarsely
// that the rounding is the noise. Plain C++
// over arrays.
//
// Noise scales are robust (the median of absolute deviations, scaled to a
// standard deviation for Gaussian noise): one wild point or one step does not
// inflate the scale it is measured against.
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace Cinetique {

// 1.4826·median(|v - median(v)|): the standard deviation for Gaussian noise;
// 0 for an empty span. Over more than 1 024 values, on 1 024 of them evenly
// spread; values that are not finite are left out.
double EchelleRobuste(std::span<const double> v);

// The readings' resolution found from the data: the largest step of which
// every value's distance to the first is a whole multiple (to 1e-6 of the
// step, and the doubles' rounding of the values). Candidates: the smallest
// non-zero gap between successive values divided by 1 to kDiviseursPas, and
// the powers of ten from 10⁻³ to 10⁶ (a file rounded to 100 Pa whose smallest
// gap is 200 Pa). So a 0,1 mmHg logger converted to Pa keeps its step of
// 13,33 Pa. None when no candidate divides them all, or when the values span
// more than kNiveauxMax steps (full-precision data).
inline constexpr int kDiviseursPas = 10;
inline constexpr double kNiveauxMax = 1e6;
std::optional<double> PasArrondi(std::span<const double> p);

// The steps between two successive readings, from p[indice] to p[indice + 1].
// One is a step when it exceeds kBruitsRupture times the noise around it (the
// robust scale of the kVoisinsRupture successive differences on either side,
// itself left out, at least `plancher`: the readings' resolution) and
// kIsolementRupture times their upper quartile, is at least
// kIsolementRupture times the differences on either side (a fast reaction's
// first rise decays over several readings, a step does not), and the pressure
// does not come back at the next reading (that would be one wild point).
// Those with at least `avantMin` points before them, in the run's order.
inline constexpr double kBruitsRupture = 20;
inline constexpr double kIsolementRupture = 3;
inline constexpr std::size_t kVoisinsRupture = 15;
struct Rupture {
    std::size_t indice = 0; // the last point before the step
    double saut = 0;        // p[indice + 1] - p[indice]
};
std::vector<Rupture> ChercherRuptures(std::span<const double> p, double plancher, std::size_t avantMin);

// A maximum followed by a steady decline (gas consumed or leaking): the index
// of the highest point of the pressure smoothed over kLissageMaximum points on
// either side, when the smoothed pressure rises before it and falls after it
// by more than kBruitsMaximum times the readings' noise (`bruit`, a standard
// deviation) and kFractionMaximum of the rise, with at least `apresMin`
// points after it, the decline's last quarter lower than its first by half the
// fall (steady, not a bump). None otherwise.
inline constexpr std::size_t kLissageMaximum = 5;
inline constexpr double kBruitsMaximum = 10;
inline constexpr double kFractionMaximum = 0.02;
std::optional<std::size_t> ChercherMaximum(std::span<const double> p, double bruit, std::size_t apresMin);

// The reaction's start after a baseline. The model: a straight line (which
// may drift) up to t_d = t[j], then the first-order rise from t_d, continuous
// at t_d — the rise is fitted to the points from j, the line through its
// start p(t_d) to the points before. It is preferred to the plain first-order
// fit over all the points (sum of squares `ssrSimple`) when it lowers the
// Bayesian information criterion, n·ln(SSR/n) + parameters·ln(n), by more
// than kEcartBic (3 parameters against 6: the rise's 3, the line's slope,
// t_d and the choice of j), and when the line's slope is at most half the
// rise's initial slope k·|pInf - pa| (a start is a kink: a curve merely
// steeper at first than an exponential, a second-order one, is no baseline
// and its start is not moved). Candidates j are scanned coarse to fine, each
// with one fit of the rise. `plancher`: the smallest standard deviation the
// data can show (rounding, floating-point), so that noise-free data do not
// compare sums of squares at their rounding level. Gives j, or none.
inline constexpr double kEcartBic = 10;
std::optional<std::size_t> ChercherDebut(std::span<const double> t, std::span<const double> p, double ssrSimple,
                                         double plancher);

} // namespace Cinetique
