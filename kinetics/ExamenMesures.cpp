#include "kinetics/ExamenMesures.h"

#include "kinetics/AjustementExponentiel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Cinetique {

namespace {

// The standard deviation of Gaussian noise per median absolute deviation.
constexpr double kFacteurMad = 1.4826;
// Values a robust scale is worked out on, at most.
constexpr std::size_t kValeursEchelle = 1024;
// Candidates of the start's scan evaluated at each level of refinement.
constexpr std::size_t kCandidatsParPas = 12;
// The rise after the start keeps at least this many points, and this
// fraction of them.
constexpr std::size_t kPointsApresDebut = 8;
constexpr std::size_t kFractionApresDebut = 10; // one tenth
// The baseline's slope is at most this fraction of the rise's initial slope.
constexpr double kFractionPenteLigneDeBase = 0.5;
// Parameters of the two models the start's criterion compares.
constexpr double kParametresSimple = 3;
constexpr double kParametresAvecDebut = 6;

double Mediane(std::vector<double> v)
{
    const std::size_t milieu = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(milieu), v.end());
    const double haut = v[milieu];
    if (v.size() % 2 == 1)
        return haut;
    return (haut + *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(milieu))) / 2;
}

} // namespace

double EchelleRobuste(std::span<const double> v)
{
    if (v.empty())
        return 0;
    // At most kValeursEchelle values, evenly spread: the scale is then known
    // to a few per cent, at a bounded cost for long runs.
    const std::size_t pas = (v.size() + kValeursEchelle - 1) / kValeursEchelle;
    std::vector<double> valeurs;
    valeurs.reserve(v.size() / pas + 1);
    for (std::size_t i = 0; i < v.size(); i += pas)
        if (std::isfinite(v[i]))
            valeurs.push_back(v[i]);
    if (valeurs.empty())
        return 0;
    const double m = Mediane(valeurs);
    // Finite values far apart can still differ by more than the largest double.
    for (double& x : valeurs)
        x = std::min(std::abs(x - m), std::numeric_limits<double>::max());
    return kFacteurMad * Mediane(std::move(valeurs));
}

namespace {

// Whether every value's distance to the first is a whole number of `pas`, to
// 1e-6 of a step plus the doubles' rounding of the values themselves.
bool Multiples(std::span<const double> p, double pas, bool depuisZero)
{
    const double origine = depuisZero ? 0 : p[0];
    for (const double v : p) {
        const double q = (v - origine) / pas;
        const double arrondi = 8 * std::numeric_limits<double>::epsilon() * (std::abs(v) + std::abs(origine)) / pas;
        if (!(std::abs(q - std::round(q)) <= 1e-6 + arrondi))
            return false;
    }
    return true;
}

} // namespace

std::optional<double> PasArrondi(std::span<const double> p)
{
    if (p.empty())
        return std::nullopt;
    // A file rounded to a power of ten: its values are multiples of it.
    for (int e = 6; e >= -3; --e) {
        const double pas = std::pow(10.0, e);
        bool multiple = true;
        for (std::size_t i = 0; i < p.size() && multiple; ++i) {
            const double q = p[i] / pas;
            multiple = std::abs(q - std::round(q)) <= 1e-9 * std::max(1.0, std::abs(q));
        }
        if (multiple)
            return pas;
    }
    // Any other step (a logger's unit converted to Pa): found from the
    // smallest gap between successive values, the doubles' rounding apart.
    double haut = 0, bas = std::numeric_limits<double>::infinity(), plusGrand = 0;
    for (const double v : p) {
        haut = std::max(haut, v);
        bas = std::min(bas, v);
        plusGrand = std::max(plusGrand, std::abs(v));
    }
    double ecartMin = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < p.size(); ++i) {
        const double ecart = std::abs(p[i] - p[i - 1]);
        if (ecart > 1e-9 * plusGrand)
            ecartMin = std::min(ecartMin, ecart);
    }
    if (!std::isfinite(ecartMin))
        return std::nullopt;
    for (int diviseur = 1; diviseur <= kDiviseursPas; ++diviseur) {
        const double pas = ecartMin / diviseur;
        if ((haut - bas) / pas > kNiveauxMax)
            return std::nullopt;
        if (Multiples(p, pas, false))
            return pas;
    }
    return std::nullopt;
}

std::vector<Rupture> ChercherRuptures(std::span<const double> p, double plancher, std::size_t avantMin)
{
    std::vector<Rupture> ruptures;
    if (p.size() < 3)
        return ruptures;
    std::vector<double> d(p.size() - 1);
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = p[i + 1] - p[i];
    std::vector<double> voisines;
    for (std::size_t i = avantMin > 0 ? avantMin - 1 : 0; i < d.size(); ++i) {
        const double a = std::abs(d[i]);
        if (!(a > kBruitsRupture * plancher))
            continue;
        if (i > 0 && a < kIsolementRupture * std::abs(d[i - 1]))
            continue;
        if (i + 1 < d.size() && a < kIsolementRupture * std::abs(d[i + 1]))
            continue;
        // Back at the next reading: one point off, not a step.
        if (i + 1 < d.size() && std::abs(d[i] + d[i + 1]) < a / 2)
            continue;
        // The noise around it: a rise noisier than the quiet baseline before
        // it has steps of its own.
        voisines.clear();
        for (std::size_t j = i > kVoisinsRupture ? i - kVoisinsRupture : 0;
             j < std::min(d.size(), i + kVoisinsRupture + 1); ++j)
            if (j != i)
                voisines.push_back(d[j]);
        if (!(a > kBruitsRupture * std::max(EchelleRobuste(voisines), plancher)))
            continue;
        // A step is rare: differences as large recurring around it (a
        // two-level pattern, which the median deviation does not see when
        // under half of them) are the noise.
        const double centre = Mediane(voisines);
        for (double& v : voisines)
            v = std::abs(v - centre);
        const auto quartile = voisines.begin() + static_cast<std::ptrdiff_t>(3 * voisines.size() / 4);
        std::nth_element(voisines.begin(), quartile, voisines.end());
        if (a > kIsolementRupture * *quartile)
            ruptures.push_back({i, d[i]});
    }
    return ruptures;
}

std::optional<std::size_t> ChercherMaximum(std::span<const double> p, double bruit, std::size_t apresMin)
{
    const std::size_t n = p.size();
    if (n < 2 * apresMin + 1)
        return std::nullopt;
    // The moving average over kLissageMaximum points on either side (fewer
    // at the ends), from running sums.
    std::vector<double> sommes(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        sommes[i + 1] = sommes[i] + p[i];
    std::vector<double> lisse(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t bas = i > kLissageMaximum ? i - kLissageMaximum : 0;
        const std::size_t haut = std::min(n, i + kLissageMaximum + 1);
        lisse[i] = (sommes[haut] - sommes[bas]) / static_cast<double>(haut - bas);
    }
    const std::size_t iMax = static_cast<std::size_t>(std::max_element(lisse.begin(), lisse.end()) - lisse.begin());
    if (iMax < apresMin || n - 1 - iMax < apresMin)
        return std::nullopt;
    const double montee = lisse[iMax] - lisse.front();
    const double chute = lisse[iMax] - lisse.back();
    const double seuil = kBruitsMaximum * bruit;
    if (!(montee > seuil && chute > seuil && chute > kFractionMaximum * montee))
        return std::nullopt;
    // Steady: the decline's last quarter well below its first.
    const std::size_t quart = std::max<std::size_t>(1, (n - 1 - iMax) / 4);
    double premier = 0, dernier = 0;
    for (std::size_t j = 0; j < quart; ++j) {
        premier += lisse[iMax + 1 + j];
        dernier += lisse[n - 1 - j];
    }
    if (!((premier - dernier) / static_cast<double>(quart) > chute / 2))
        return std::nullopt;
    return iMax;
}

std::optional<std::size_t> ChercherDebut(std::span<const double> t, std::span<const double> p, double ssrSimple,
                                         double plancher)
{
    const std::size_t n = t.size();
    const std::size_t apres = std::max(kPointsApresDebut, n / kFractionApresDebut);
    const std::size_t jMin = 2;
    if (n < apres + jMin + 1)
        return std::nullopt;
    const std::size_t jMax = n - apres;

    // The sum of squares of the model with its start at t[j].
    std::vector<double> couts(n, -1);
    auto cout = [&](std::size_t j) {
        if (couts[j] >= 0)
            return couts[j];
        const AjustementExponentiel montee = AjusterExponentielle(t.subspan(j), p.subspan(j));
        // The baseline's slope c: p ≈ pa + c·(t - t_d) before t_d.
        double stt = 0, stp = 0;
        for (std::size_t i = 0; i < j; ++i) {
            const double dt = t[i] - t[j];
            stt += dt * dt;
            stp += dt * (p[i] - montee.y0);
        }
        const double c = stp / stt;
        // A start is a kink: the baseline drifts far slower than the
        // reaction starts (a curve steeper at first than an exponential,
        // second order for one, is not a baseline).
        if (!(std::abs(c) <= kFractionPenteLigneDeBase * montee.k * std::abs(montee.yInf - montee.y0))) {
            couts[j] = std::numeric_limits<double>::max();
            return couts[j];
        }
        double ssr = montee.ssr;
        for (std::size_t i = 0; i < j; ++i) {
            const double r = p[i] - montee.y0 - c * (t[i] - t[j]);
            ssr += r * r;
        }
        couts[j] = std::isfinite(ssr) ? ssr : std::numeric_limits<double>::max();
        return couts[j];
    };

    // Coarse to fine: evenly spaced candidates, then those between the best
    // one's neighbours, until every index of the bracket has been tried.
    std::size_t bas = jMin, haut = jMax, meilleur = jMin;
    while (true) {
        const std::size_t largeur = haut - bas;
        std::vector<std::size_t> candidats;
        if (largeur + 1 <= kCandidatsParPas) {
            for (std::size_t j = bas; j <= haut; ++j)
                candidats.push_back(j);
        } else {
            for (std::size_t c = 0; c < kCandidatsParPas; ++c)
                candidats.push_back(bas + largeur * c / (kCandidatsParPas - 1));
        }
        std::size_t b = 0;
        for (std::size_t c = 1; c < candidats.size(); ++c)
            if (cout(candidats[c]) < cout(candidats[b]))
                b = c;
        meilleur = candidats[b];
        if (largeur + 1 <= kCandidatsParPas)
            break;
        bas = candidats[b > 0 ? b - 1 : 0];
        haut = candidats[std::min(b + 1, candidats.size() - 1)];
    }

    const double dn = static_cast<double>(n);
    const double plancherSsr = dn * plancher * plancher;
    const double bicSimple = dn * std::log(std::max(ssrSimple, plancherSsr) / dn) + kParametresSimple * std::log(dn);
    const double bicDebut
        = dn * std::log(std::max(cout(meilleur), plancherSsr) / dn) + kParametresAvecDebut * std::log(dn);
    if (bicDebut < bicSimple - kEcartBic)
        return meilleur;
    return std::nullopt;
}

} // namespace Cinetique
