#pragma once
// Fits across the runs of a class, each run weighted by its own standard
// uncertainty u_i (weight w_i = 1/u_i²), and the grouping of runs made at one
// temperature. Plain C++.
//
// Weighted line y = a + b·x (S = Σw, Sx = Σw·x, Sy = Σw·y, Sxx = Σw·x²,
// Sxy = Σw·x·y, Δ = S·Sxx − Sx²):
//   b = (S·Sxy − Sx·Sy)/Δ,  a = (Sxx·Sy − Sx·Sxy)/Δ,
//   u(b) = √(S/Δ),  u(a) = √(Sxx/Δ)          (from the runs' uncertainties)
//   χ² = Σ w·(y − a − b·x)², ν = n − 2 degrees of freedom.
// Weighted mean: m = Σw·y / S, u(m) = 1/√S, χ² = Σ w·(y − m)², ν = n − 1.
// The scatter's uncertainty is the runs' one times √(χ²/ν) (the Birge
// ratio). When χ²/ν exceeds the 95 % point of the χ² law with ν degrees of
// freedom divided by ν (SeuilChi2Reduit: the scatter would be that large by
// chance less than once in twenty), the scatter's uncertainty is given, and
// `dispersion` says so; below it, the runs' uncertainty is given.
// When a run has no usable uncertainty (zero, negative or not finite), the
// fit is unweighted (every w = 1) and its uncertainty is the scatter's, with
// s² = χ²/ν, as ordinary least squares give it.
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace Classe {

// A line y = a + b·x fitted across runs, with the standard uncertainties
// given for a and b (see above).
struct Droite {
    double ordonnee = 0, uOrdonnee = 0;
    double pente = 0, uPente = 0;
    int points = 0;
    bool ponderee = false;   // weighted by the runs' uncertainties
    double chi2 = 0;         // Σ w·r²: weighted, or the sum of squared residuals
    bool dispersion = false; // the scatter exceeds the runs' uncertainties: its uncertainty is given
    // The runs' uncertainty of the slope (weighted fits) and the scatter's.
    double uPenteEssais = 0, uPenteDispersion = 0;
    int Degres() const { return points - 2; }
};

// A weighted mean across runs, its uncertainty given as for a line.
struct Moyenne {
    double valeur = 0, incertitude = 0;
    int points = 0;
    bool ponderee = false;
    double chi2 = 0;
    bool dispersion = false;
    double uEssais = 0, uDispersion = 0;
    int Degres() const { return points - 1; }
};

// χ²/ν above which the scatter exceeds what the uncertainties explain: the
// 95 % point of the χ² law with ν degrees of freedom over ν, by the
// Wilson–Hilferty approximation (within 3 % of the exact point for ν ≥ 1):
// 3,75 for ν = 1, 1,94 for ν = 8, 1,57 for ν = 20. Infinite for ν < 1.
double SeuilChi2Reduit(int degres);

// The line through (x, y) weighted by `u`; none with fewer than 3 points or
// with all x equal. An empty `u` (or one with a value that is no usable
// uncertainty) gives the unweighted fit.
std::optional<Droite> AjusterDroitePonderee(std::span<const double> x, std::span<const double> y,
                                            std::span<const double> u);

// The mean of `y` weighted by `u`; none with no value.
std::optional<Moyenne> MoyennePonderee(std::span<const double> y, std::span<const double> u);

// Values grouped by single linkage: sorted, a value more than `ecart` above
// the one before it starts a new group (so one bath slowly drifting stays
// one group). Each group holds the indices of its values, in increasing
// value; the groups in increasing value.
std::vector<std::vector<std::size_t>> GroupesProches(std::span<const double> valeurs, double ecart);

} // namespace Classe
