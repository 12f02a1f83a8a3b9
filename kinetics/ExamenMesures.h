#pragma once
// What real lab data hold besides the reaction, found before and after the
// fit: the baseline recorded before the reaction starts, a sudden step (a
// flask opened, a stopper that pops), a point far off the curve, and
// pressures rounded so coarsely that the rounding is the noise. Plain C++
// over arrays.
//
// Noise scales are robust (the median of absolute deviations, scaled to a
// standard deviation for Gaussian noise): one wild point or one step does not
// inflate the scale it is measured against.
#include <cstddef>
#include <optional>
#include <span>

namespace Cinetique {

// 1.4826·median(|v - median(v)|): the standard deviation for Gaussian noise;
// 0 for an empty span. Over more than 1 024 values, on 1 024 of them evenly
// spread; values that are not finite are left out.
double EchelleRobuste(std::span<const double> v);

// The largest power of ten, from 10⁻³ to 10⁶, of which every value is a
// multiple (to 1e-9 of the value); none when there is none.
std::optional<double> PasArrondi(std::span<const double> p);

// A step between two successive readings: from p[indice] to p[indice + 1].
// It is one when it exceeds kBruitsRupture times the robust scale of the
// successive differences (at least `plancher`), is at least kIsolementRupture
// times the differences on either side (a fast reaction's first rise decays
// over several readings, a step does not), and the pressure does not come
// back at the next reading (that would be one wild point). The earliest one
// with at least `avantMin` points before it; none otherwise.
inline constexpr double kBruitsRupture = 20;
inline constexpr double kIsolementRupture = 3;
struct Rupture {
    std::size_t indice = 0; // the last point before the step
    double saut = 0;        // p[indice + 1] - p[indice]
};
std::optional<Rupture> ChercherRupture(std::span<const double> p, double plancher, std::size_t avantMin);

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
