#pragma once
// The least-squares fit of a first-order exponential, with no starting
// values: the same data always give the same result.
//
// Models, with τ = t - t0 (t0 the time origin the caller gives):
//   free start:   y(t) = yInf - (yInf - y0)·exp(-k·τ)   parameters y0, yInf, k
//   fixed start:  y(t) = y0 + (yInf - y0)·(1 - exp(-k·τ)) parameters yInf, k,
//                 y0 given (the textbook x = x_f·(1 - exp(-k·t)) with t0 = 0,
//                 y0 = 0)
// A falling curve is the same model with yInf < y0.
//
// Method (variable projection). For a fixed k the model is linear in its
// other parameters, so the sum of squared residuals S(k) is a function of k
// alone, obtained by a linear least-squares fit (a QR factorisation by
// Gram–Schmidt against the constant column, on centred data). k is sought
// over [kMin, kMax] = [1e-3 / span, 1e3 / smallest step] (span: the largest
// τ; smallest step: the smallest gap between successive times, the origin
// counting as one with a fixed start), which holds every rise the data can
// show, from one hardly begun to one over after a single step:
//   1. S on a logarithmic grid of k (4 values a decade), on at most 128 of
//      the points, half evenly spaced and half in geometric progression from
//      the first (a rise over in a few points is seen too);
//   2. a golden-section search between the best grid value's neighbours, on
//      the same points;
//   3. Gauss–Newton steps on k over all the points (the projected Jacobian,
//      Kaufman's form; the secant on dS/dk where Gauss–Newton slows down,
//      for a curve the model follows badly), each step halved until S
//      decreases, until a step is below 1e-9·k (at most 100 steps).
// The uncertainties come from the full Jacobian at the optimum, factorised by
// Eigen's Householder QR with its columns scaled to unit length:
//   u = sqrt(diag((JᵀJ)⁻¹) · S / (n - parameters)).
// When the Jacobian is singular at the optimum (k pushed to kMax: the curve
// jumps in one step) the uncertainties are +∞.
//
// Limits: k stays within [kMin, kMax]; `borne` says the optimum lies on that
// edge (a straight line or a step: the data do not fix k).
//
// Preconditions (the caller checks them; they are asserted): t and y of the
// same size, at least parameters + 1 points, every value finite, t strictly
// increasing, t[0] = t0 for a free start (the curve starts at the first
// point) and t[0] >= t0 with a fixed start, t not all equal to t0.
#include <span>
#include <vector>

namespace Cinetique {

struct AjustementExponentiel {
    double y0 = 0, uY0 = 0;     // uY0 = 0 with a fixed start
    double yInf = 0, uYInf = 0;
    double k = 0, uK = 0;
    double ssr = 0;             // sum of squared residuals
    std::vector<double> residus; // y - model, at each point
    int parametres = 0;         // 3 free start, 2 fixed start
    bool borne = false;         // k on the edge of [kMin, kMax]
};

AjustementExponentiel AjusterExponentielle(std::span<const double> t, std::span<const double> y);

AjustementExponentiel AjusterExponentielleOrigineFixee(std::span<const double> t, std::span<const double> y,
                                                       double t0, double y0);

} // namespace Cinetique
