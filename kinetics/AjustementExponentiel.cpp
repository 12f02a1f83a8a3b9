#include "kinetics/AjustementExponentiel.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace Cinetique {

namespace {

// The grid and the searches (see the header).
constexpr std::size_t kPointsRecherche = 128;
constexpr double kValeursParDecade = 4;
constexpr double kFacteurKMin = 1e-3;
constexpr double kFacteurKMax = 1e3;
constexpr double kLnKExtreme = 700;
// The golden-section search stops when its bracket, in ln k, is this narrow:
// the Gauss–Newton steps that follow only need a start near the optimum.
constexpr double kToleranceDoree = 1e-3;
// Gauss–Newton: at most this many steps, each halved at most this many times.
// A step below kPasRelatifFinal·k ends the search: k is then known far better
// than its uncertainty, and S changes by less than its rounding. A step below
// kPasRelatifFin·k that does not decrease S at once also ends it: S is at its
// rounding floor.
constexpr int kPasMax = 100;
constexpr int kDemisMax = 30;
constexpr double kPasRelatifFinal = 1e-9;
constexpr double kPasRelatifFin = 1e-6;
constexpr double kSecanteMax = 10;

// The points of a fit: τ = t - t0 and y, centred on its mean with a free
// start (yc = y - ȳ), less y0 with a fixed start.
struct Donnees {
    Eigen::ArrayXd tau;
    Eigen::ArrayXd y;
    bool fixe = false;
    double moyenneY = 0; // free start only
    double syy = 0;      // Σy² (of the centred y with a free start)
};

// The indices of the points the search on a subset takes: half evenly
// spaced, half in geometric progression from the first point, so that a
// rise over in a few points is seen as well as one that lasts the whole run.
std::vector<std::size_t> IndicesRecherche(std::size_t n)
{
    std::vector<std::size_t> indices;
    const std::size_t m = kPointsRecherche / 2;
    const double dernier = static_cast<double>(n - 1);
    indices.push_back(0);
    for (std::size_t j = 1; j < m; ++j) {
        const double fraction = static_cast<double>(j) / static_cast<double>(m - 1);
        indices.push_back(static_cast<std::size_t>(std::lround(fraction * dernier)));
        indices.push_back(static_cast<std::size_t>(std::lround(std::pow(dernier, fraction))));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

// All the points, or (`sousEnsemble`) those IndicesRecherche chooses.
Donnees Preparer(std::span<const double> t, std::span<const double> y, double t0, double y0, bool fixe,
                 bool sousEnsemble = false)
{
    std::vector<std::size_t> indices;
    if (sousEnsemble) {
        indices = IndicesRecherche(t.size());
    } else {
        indices.resize(t.size());
        for (std::size_t i = 0; i < indices.size(); ++i)
            indices[i] = i;
    }
    Donnees d;
    d.fixe = fixe;
    const auto m = static_cast<Eigen::Index>(indices.size());
    d.tau.resize(m);
    d.y.resize(m);
    for (Eigen::Index j = 0; j < m; ++j) {
        const std::size_t i = indices[static_cast<std::size_t>(j)];
        d.tau(j) = t[i] - t0;
        d.y(j) = fixe ? y[i] - y0 : y[i];
    }
    if (!fixe) {
        d.moyenneY = d.y.mean();
        d.y -= d.moyenneY;
    }
    d.syy = d.y.square().sum();
    return d;
}

// The linear least-squares fit at a given k.
//   free start:  y ≈ alpha + beta·e,   e = exp(-k·τ)   (yInf = alpha, y0 = alpha + beta)
//   fixed start: y ≈ beta·c,           c = 1 - exp(-k·τ) (yInf = y0 + beta)
// The free start's two columns are made orthogonal by centring e (the
// Gram–Schmidt step of a QR factorisation against the constant column).
// With `avecPas`, the residuals one by one and the Gauss–Newton step on k:
// the derivative of the model with respect to k, projected out of the linear
// columns' span, regressed on the residuals; without, only S, for the search.
// One exponential per point; the sums are Eigen's vectorised reductions.
struct Projection {
    double k = 0;
    double ssr = 0;
    double alpha = 0, beta = 0;
    double pas = 0;
    double pente = 0; // Σ r·∂model/∂k = -½·dS/dk, zero at the optimum
};

// exp(-k·τ) for every τ. The exponent is held above -700: e^-700 is 1e-304,
// zero for the fit, and denormal results would slow the vectorised exp
// down several times when k is large.
auto Exponentielles(double k, const Eigen::ArrayXd& tau)
{
    return (-k * tau).max(-700.0).exp();
}

class Projecteur {
    // The columns' roles. Free start: e, centred e, ∂/∂k; in the Jacobian
    // e, 1 - e, ∂/∂k. Fixed start: c = 1 - e, e, ∂/∂k; in the Jacobian c,
    // ∂/∂k.
    auto E() { return colonnes_.col(0).array(); }
    auto EC() { return colonnes_.col(1).array(); }
    auto G() { return colonnes_.col(2).array(); }
    auto C() { return colonnes_.col(0).array(); }
    auto FixeE() { return colonnes_.col(1).array(); }

public:
    // The working columns live in one n×3 matrix, which ends as the Jacobian.
    explicit Projecteur(const Donnees& d)
        : d_(d), colonnes_(d.tau.size(), 3), r_(d.tau.size())
    {
    }

    Projection Projeter(double k, bool avecPas)
    {
        kDernier_ = k;
        avecPasDernier_ = avecPas;
        return d_.fixe ? ProjeterFixe(k, avecPas) : ProjeterLibre(k, avecPas);
    }

    // The Jacobian of the model at the projection p, one column a parameter:
    // free start (y0, yInf, k), fixed start (yInf, k).
    Eigen::Ref<Eigen::MatrixXd> Jacobien(const Projection& p)
    {
        if (p.k != kDernier_ || !avecPasDernier_)
            Projeter(p.k, true);
        if (d_.fixe) {
            FixeE() = p.beta * d_.tau * FixeE();
            return colonnes_.leftCols(2);
        }
        EC() = 1 - E();
        G() = -p.beta * d_.tau * E();
        return colonnes_;
    }

    // y - model at the last projection's k.
    const Eigen::ArrayXd& Residus() const { return r_; }

private:

    // S = Σy² - (explained sum of squares), for the search only: the
    // subtraction loses the digits of S's ratio to Σy², which the steps and
    // the results, computing the residuals one by one, keep.
    double SommeResiduelle(double expliquee) const { return std::max(0.0, d_.syy - expliquee); }

    Projection ProjeterLibre(double k, bool avecPas)
    {
        Projection p;
        p.k = k;
        E() = Exponentielles(k, d_.tau);
        const double moyenneE = E().mean();
        EC() = E() - moyenneE;
        const double see = EC().square().sum();
        p.beta = see > 0 ? (EC() * d_.y).sum() / see : 0;
        p.alpha = d_.moyenneY - p.beta * moyenneE;
        if (!avecPas) {
            p.ssr = SommeResiduelle(p.beta * p.beta * see);
            return p;
        }
        r_ = d_.y - p.beta * EC();
        p.ssr = r_.square().sum();
        if (see > 0) {
            // ∂model/∂k = -beta·τ·e, taken out of span{1, e}.
            G() = -p.beta * d_.tau * E();
            G() -= G().mean();
            G() -= ((G() * EC()).sum() / see) * EC();
            const double sgg = G().square().sum();
            p.pente = (G() * r_).sum();
            p.pas = sgg > 0 ? p.pente / sgg : 0;
        }
        return p;
    }

    Projection ProjeterFixe(double k, bool avecPas)
    {
        Projection p;
        p.k = k;
        // c = 1 - e to within 1e-16 absolute, all a least-squares fit sees
        // of it (expm1 would only add relative digits to tiny c, twice as
        // slowly).
        FixeE() = Exponentielles(k, d_.tau);
        C() = 1 - FixeE();
        const double scc = C().square().sum();
        p.beta = scc > 0 ? (C() * d_.y).sum() / scc : 0;
        if (!avecPas) {
            p.ssr = SommeResiduelle(p.beta * p.beta * scc);
            return p;
        }
        r_ = d_.y - p.beta * C();
        p.ssr = r_.square().sum();
        if (scc > 0) {
            // ∂model/∂k = beta·τ·e, taken out of span{c}.
            G() = p.beta * d_.tau * FixeE();
            G() -= ((G() * C()).sum() / scc) * C();
            const double sgg = G().square().sum();
            p.pente = (G() * r_).sum();
            p.pas = sgg > 0 ? p.pente / sgg : 0;
        }
        return p;
    }

    const Donnees& d_;
    double kDernier_ = -1;
    bool avecPasDernier_ = false;
    Eigen::MatrixXd colonnes_;
    Eigen::ArrayXd r_;
};

// The golden-section search of the smallest S(exp(u)) for u in [a, b].
double SectionDoree(Projecteur& projecteur, double a, double b)
{
    const double inverseOr = (std::sqrt(5.0) - 1) / 2;
    double x1 = b - inverseOr * (b - a);
    double x2 = a + inverseOr * (b - a);
    double s1 = projecteur.Projeter(std::exp(x1), false).ssr;
    double s2 = projecteur.Projeter(std::exp(x2), false).ssr;
    while (b - a > kToleranceDoree) {
        if (s1 <= s2) {
            b = x2;
            x2 = x1;
            s2 = s1;
            x1 = b - inverseOr * (b - a);
            s1 = projecteur.Projeter(std::exp(x1), false).ssr;
        } else {
            a = x1;
            x1 = x2;
            s1 = s2;
            x2 = a + inverseOr * (b - a);
            s2 = projecteur.Projeter(std::exp(x2), false).ssr;
        }
    }
    return s1 <= s2 ? x1 : x2;
}

AjustementExponentiel Ajuster(std::span<const double> t, std::span<const double> y, double t0, double y0,
                              bool fixe)
{
    const std::size_t n = t.size();
    const int parametres = fixe ? 2 : 3;
    assert(y.size() == n && n > static_cast<std::size_t>(parametres));
    assert(fixe ? t[0] >= t0 : t[0] == t0);

    // The range of k from the data's time scales.
    double pasMin = std::numeric_limits<double>::infinity();
    double precedent = t0;
    for (std::size_t i = 0; i < n; ++i) {
        if (t[i] > precedent)
            pasMin = std::min(pasMin, t[i] - precedent);
        precedent = t[i];
    }
    const double etendue = t[n - 1] - t0;
    assert(etendue > 0);
    // Times at the edge of the double range (a span that overflows, steps
    // that underflow) keep ln k within ±kLnKExtreme, so the grid stays finite.
    const double uMin = std::clamp(std::log(kFacteurKMin / etendue), -kLnKExtreme, kLnKExtreme);
    const double uMax = std::clamp(std::log(kFacteurKMax / pasMin), uMin, kLnKExtreme);
    const double kMin = std::exp(uMin), kMax = std::exp(uMax);

    // 1-2. The grid, then the golden section, on a subset of the points.
    const Donnees toutes = Preparer(t, y, t0, y0, fixe);
    const Donnees choisies = n > kPointsRecherche ? Preparer(t, y, t0, y0, fixe, true) : Donnees{};
    Projecteur projecteurChoisies(n > kPointsRecherche ? choisies : toutes);
    const int valeurs = std::max(3, static_cast<int>(std::ceil((uMax - uMin) / std::log(10.0) * kValeursParDecade)) + 1);
    const double pasGrille = (uMax - uMin) / (valeurs - 1);
    int meilleur = 0;
    double ssrMeilleur = std::numeric_limits<double>::infinity();
    for (int j = 0; j < valeurs; ++j) {
        const double ssr = projecteurChoisies.Projeter(std::exp(uMin + j * pasGrille), false).ssr;
        if (ssr < ssrMeilleur) {
            ssrMeilleur = ssr;
            meilleur = j;
        }
    }
    const double u = SectionDoree(projecteurChoisies, uMin + std::max(0, meilleur - 1) * pasGrille,
                                  uMin + std::min(valeurs - 1, meilleur + 1) * pasGrille);

    // 3. Gauss–Newton on all the points, k kept within [kMin, kMax].
    Projecteur projecteur(toutes);
    double k = std::clamp(std::exp(u), kMin, kMax);
    Projection p = projecteur.Projeter(k, true);
    Projection precedente;
    for (int etape = 0; etape < kPasMax; ++etape) {
        double pas = p.pas;
        if (!std::isfinite(pas) || std::abs(pas) <= kPasRelatifFinal * k)
            break;
        // Where the residuals are large (a curve the model follows badly)
        // Gauss–Newton converges only linearly; the secant on dS/dk through
        // the last two values then takes over, when it goes the same way and
        // at most kSecanteMax times as far.
        if (etape > 0 && p.pente != precedente.pente) {
            const double secante = -p.pente * (k - precedente.k) / (p.pente - precedente.pente);
            if (secante * pas > 0 && std::abs(secante) <= kSecanteMax * std::abs(pas))
                pas = secante;
        }
        bool accepte = false;
        double kEssai = k;
        Projection essai;
        for (int demi = 0; demi < kDemisMax && !accepte; ++demi, pas /= 2) {
            kEssai = std::clamp(k + pas, kMin, kMax);
            if (kEssai == k)
                break;
            essai = projecteur.Projeter(kEssai, true);
            accepte = essai.ssr <= p.ssr;
            if (!accepte && std::abs(pas) <= kPasRelatifFin * k)
                break;
        }
        if (!accepte)
            break;
        precedente = p;
        k = kEssai;
        p = essai;
    }

    AjustementExponentiel a;
    a.parametres = parametres;
    a.k = k;
    a.ssr = p.ssr;
    a.borne = k <= kMin * (1 + 1e-9) || k >= kMax * (1 - 1e-9);
    if (fixe) {
        a.y0 = y0;
        a.yInf = y0 + p.beta;
    } else {
        a.y0 = p.alpha + p.beta;
        a.yInf = p.alpha;
    }

    // The covariance from the full Jacobian, columns scaled to unit length,
    // factorised in place.
    Eigen::Ref<Eigen::MatrixXd> j = projecteur.Jacobien(p);
    a.residus.assign(projecteur.Residus().begin(), projecteur.Residus().end());
    const Eigen::VectorXd normes = j.colwise().norm();
    const double infini = std::numeric_limits<double>::infinity();
    Eigen::VectorXd u2 = Eigen::VectorXd::Constant(parametres, infini);
    if ((normes.array() > 0).all()) {
        j *= normes.cwiseInverse().asDiagonal();
        const Eigen::HouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(j);
        const Eigen::MatrixXd r = qr.matrixQR().topRows(parametres).triangularView<Eigen::Upper>();
        const double plusGrand = r.diagonal().cwiseAbs().maxCoeff();
        if (r.diagonal().cwiseAbs().minCoeff() > plusGrand * 1e3 * std::numeric_limits<double>::epsilon()) {
            const Eigen::MatrixXd rInverse = r.triangularView<Eigen::Upper>().solve(
                Eigen::MatrixXd::Identity(parametres, parametres));
            const double variance = p.ssr / static_cast<double>(n - static_cast<std::size_t>(parametres));
            u2 = (rInverse * rInverse.transpose()).diagonal().cwiseQuotient(normes.cwiseAbs2()) * variance;
        }
    }
    if (fixe) {
        a.uYInf = std::sqrt(u2(0));
        a.uK = std::sqrt(u2(1));
    } else {
        a.uY0 = std::sqrt(u2(0));
        a.uYInf = std::sqrt(u2(1));
        a.uK = std::sqrt(u2(2));
    }
    return a;
}

} // namespace

AjustementExponentiel AjusterExponentielle(std::span<const double> t, std::span<const double> y)
{
    return Ajuster(t, y, t.empty() ? 0 : t[0], 0, false);
}

AjustementExponentiel AjusterExponentielleOrigineFixee(std::span<const double> t, std::span<const double> y,
                                                       double t0, double y0)
{
    return Ajuster(t, y, t0, y0, true);
}

} // namespace Cinetique
