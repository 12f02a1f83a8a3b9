#include "classe/Ajustements.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace Classe {

namespace {

// The standard normal law's 95 % point.
constexpr double kZ95 = 1.6448536269514722;

// The weights 1/u², or none when a run has no usable uncertainty.
std::optional<std::vector<double>> Poids(std::span<const double> u, std::size_t n)
{
    if (u.size() < n)
        return std::nullopt;
    std::vector<double> w(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!(u[i] > 0) || !std::isfinite(u[i]))
            return std::nullopt;
        w[i] = 1 / (u[i] * u[i]);
        if (!std::isfinite(w[i]))
            return std::nullopt;
    }
    return w;
}

// Whether the scatter's uncertainty is given rather than the runs'.
bool DispersionExcessive(double chi2, int degres)
{
    return degres > 0 && chi2 / degres > SeuilChi2Reduit(degres);
}

} // namespace

double SeuilChi2Reduit(int degres)
{
    if (degres < 1)
        return std::numeric_limits<double>::infinity();
    const double c = 2.0 / (9.0 * degres);
    return std::pow(1 - c + kZ95 * std::sqrt(c), 3);
}

std::optional<Droite> AjusterDroitePonderee(std::span<const double> x, std::span<const double> y,
                                            std::span<const double> u)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 3)
        return std::nullopt;
    const std::optional<std::vector<double>> poids = Poids(u, n);
    const std::vector<double> w = poids.value_or(std::vector<double>(n, 1.0));
    // Centred on the weighted mean of x, for the rounding: Δ = S·Σw(x − x̄)².
    double s = 0, sx = 0, sy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        s += w[i];
        sx += w[i] * x[i];
        sy += w[i] * y[i];
    }
    const double xMoyen = sx / s, yMoyen = sy / s;
    double sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += w[i] * (x[i] - xMoyen) * (x[i] - xMoyen);
        sxy += w[i] * (x[i] - xMoyen) * (y[i] - yMoyen);
    }
    if (!(sxx > 0) || !std::isfinite(sxx) || !std::isfinite(sxy))
        return std::nullopt;
    Droite d;
    d.points = static_cast<int>(n);
    d.ponderee = poids.has_value();
    d.pente = sxy / sxx;
    d.ordonnee = yMoyen - d.pente * xMoyen;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = y[i] - (d.ordonnee + d.pente * x[i]);
        d.chi2 += w[i] * r * r;
    }
    // u(b)² = 1/Σw(x − x̄)² = S/Δ; u(a)² = 1/S + x̄²/Σw(x − x̄)² = Sxx/Δ.
    const double uPente = std::sqrt(1 / sxx), uOrdonnee = std::sqrt(1 / s + xMoyen * xMoyen / sxx);
    const double birge = std::sqrt(d.chi2 / d.Degres());
    d.uPenteEssais = d.ponderee ? uPente : 0;
    d.uPenteDispersion = uPente * birge;
    d.dispersion = d.ponderee && DispersionExcessive(d.chi2, d.Degres());
    const double facteur = !d.ponderee || d.dispersion ? birge : 1;
    d.uPente = uPente * facteur;
    d.uOrdonnee = uOrdonnee * facteur;
    return d;
}

std::optional<Moyenne> MoyennePonderee(std::span<const double> y, std::span<const double> u)
{
    const std::size_t n = y.size();
    if (n == 0)
        return std::nullopt;
    const std::optional<std::vector<double>> poids = Poids(u, n);
    const std::vector<double> w = poids.value_or(std::vector<double>(n, 1.0));
    const double s = std::accumulate(w.begin(), w.end(), 0.0);
    double sy = 0;
    for (std::size_t i = 0; i < n; ++i)
        sy += w[i] * y[i];
    Moyenne m;
    m.points = static_cast<int>(n);
    m.ponderee = poids.has_value();
    m.valeur = sy / s;
    for (std::size_t i = 0; i < n; ++i)
        m.chi2 += w[i] * (y[i] - m.valeur) * (y[i] - m.valeur);
    const double u0 = 1 / std::sqrt(s);
    const double birge = n > 1 ? std::sqrt(m.chi2 / m.Degres()) : 0;
    m.uEssais = m.ponderee ? u0 : 0;
    m.uDispersion = u0 * birge;
    m.dispersion = m.ponderee && DispersionExcessive(m.chi2, m.Degres());
    m.incertitude = !m.ponderee || m.dispersion ? m.uDispersion : m.uEssais;
    return m;
}

std::vector<std::vector<std::size_t>> GroupesProches(std::span<const double> valeurs, double ecart)
{
    std::vector<std::size_t> ordre(valeurs.size());
    std::iota(ordre.begin(), ordre.end(), std::size_t{0});
    std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) { return valeurs[a] < valeurs[b]; });
    std::vector<std::vector<std::size_t>> groupes;
    for (std::size_t n = 0; n < ordre.size(); ++n) {
        if (n == 0 || valeurs[ordre[n]] - valeurs[ordre[n - 1]] > ecart)
            groupes.emplace_back();
        groupes.back().push_back(ordre[n]);
    }
    return groupes;
}

} // namespace Classe
