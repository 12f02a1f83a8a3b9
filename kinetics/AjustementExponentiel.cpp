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
constexpr double kValeursParDecade = 6;
constexpr double kFacteurKMin = 1e-3;
constexpr double kFacteurKMax = 1e3;
// The golden-section search stops when its bracket, in ln k, is this narrow:
// the Gauss–Newton steps that follow only need a start near the optimum.
constexpr double kToleranceDoree = 1e-5;
// Gauss–Newton: at most this many steps, each halved at most this many times.
// A step below kPasRelatifFinal·k ends the search: k is then known far better
// than its uncertainty, and S changes by less than its rounding. A step below
// kPasRelatifFin·k that does not decrease S at once also ends it: S is at its
// rounding floor.
constexpr int kPasMax = 100;
constexpr int kDemisMax = 30;
constexpr double kPasRelatifFinal = 1e-10;
constexpr double kPasRelatifFin = 1e-6;

// The points of a fit: τ = t - t0 and y (y - y0 with a fixed start).
struct Donnees {
    std::vector<double> tau;
    std::vector<double> y;
    bool fixe = false;
    double moyenneY = 0; // free start only
};

// All the points, or (`sousEnsemble`) kPointsRecherche of them evenly chosen,
// the first and the last among them.
Donnees Preparer(std::span<const double> t, std::span<const double> y, double t0, double y0, bool fixe,
                 bool sousEnsemble = false)
{
    Donnees d;
    d.fixe = fixe;
    const std::size_t n = t.size();
    const std::size_t m = sousEnsemble ? kPointsRecherche : n;
    d.tau.reserve(m);
    d.y.reserve(m);
    for (std::size_t j = 0; j < m; ++j) {
        const std::size_t i = sousEnsemble ? (j * (n - 1) + (m - 1) / 2) / (m - 1) : j;
        d.tau.push_back(t[i] - t0);
        d.y.push_back(fixe ? y[i] - y0 : y[i]);
    }
    if (!fixe) {
        double somme = 0;
        for (double v : d.y)
            somme += v;
        d.moyenneY = somme / static_cast<double>(m);
    }
    return d;
}

// The linear least-squares fit at a given k.
//   free start:  y ≈ alpha + beta·e,   e = exp(-k·τ)   (yInf = alpha, y0 = alpha + beta)
//   fixed start: y ≈ beta·c,           c = 1 - exp(-k·τ) (yInf = y0 + beta)
// With `pas`, also the Gauss–Newton step on k: the derivative of the model
// with respect to k, projected out of the linear columns' span, regressed on
// the residuals.
struct Projection {
    double ssr = 0;
    double alpha = 0, beta = 0;
    double pas = 0;
};

class Projecteur {
public:
    explicit Projecteur(const Donnees& d) : d_(d), e_(d.tau.size()), r_(d.tau.size()), g_(d.tau.size()) {}

    Projection Projeter(double k, bool avecPas)
    {
        return d_.fixe ? ProjeterFixe(k, avecPas) : ProjeterLibre(k, avecPas);
    }

private:
    Projection ProjeterLibre(double k, bool avecPas)
    {
        const std::size_t n = d_.tau.size();
        const double* tau = d_.tau.data();
        const double* y = d_.y.data();
        double* e = e_.data();
        double somme = 0;
        for (std::size_t i = 0; i < n; ++i) {
            e[i] = std::exp(-k * tau[i]);
            somme += e[i];
        }
        const double moyenneE = somme / static_cast<double>(n);
        double see = 0, sey = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double ec = e[i] - moyenneE;
            see += ec * ec;
            sey += ec * (y[i] - d_.moyenneY);
        }
        Projection p;
        p.beta = see > 0 ? sey / see : 0;
        p.alpha = d_.moyenneY - p.beta * moyenneE;
        double* r = r_.data();
        for (std::size_t i = 0; i < n; ++i) {
            r[i] = y[i] - p.alpha - p.beta * e[i];
            p.ssr += r[i] * r[i];
        }
        if (avecPas && see > 0) {
            // ∂model/∂k = -beta·τ·e; taken out of span{1, e}.
            double* g = g_.data();
            double sg = 0;
            for (std::size_t i = 0; i < n; ++i) {
                g[i] = -p.beta * tau[i] * e[i];
                sg += g[i];
            }
            const double moyenneG = sg / static_cast<double>(n);
            double sge = 0;
            for (std::size_t i = 0; i < n; ++i)
                sge += (g[i] - moyenneG) * (e[i] - moyenneE);
            const double f = sge / see;
            double sgg = 0, sgr = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const double gp = g[i] - moyenneG - f * (e[i] - moyenneE);
                sgg += gp * gp;
                sgr += gp * r[i];
            }
            p.pas = sgg > 0 ? sgr / sgg : 0;
        }
        return p;
    }

    Projection ProjeterFixe(double k, bool avecPas)
    {
        const std::size_t n = d_.tau.size();
        const double* tau = d_.tau.data();
        const double* y = d_.y.data();
        double* c = e_.data();
        double scc = 0, scy = 0;
        for (std::size_t i = 0; i < n; ++i) {
            c[i] = -std::expm1(-k * tau[i]);
            scc += c[i] * c[i];
            scy += c[i] * y[i];
        }
        Projection p;
        p.beta = scc > 0 ? scy / scc : 0;
        double* r = r_.data();
        for (std::size_t i = 0; i < n; ++i) {
            r[i] = y[i] - p.beta * c[i];
            p.ssr += r[i] * r[i];
        }
        if (avecPas && scc > 0) {
            // ∂model/∂k = beta·τ·(1 - c); taken out of span{c}.
            double* g = g_.data();
            double sgc = 0;
            for (std::size_t i = 0; i < n; ++i) {
                g[i] = p.beta * tau[i] * (1 - c[i]);
                sgc += g[i] * c[i];
            }
            const double f = sgc / scc;
            double sgg = 0, sgr = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const double gp = g[i] - f * c[i];
                sgg += gp * gp;
                sgr += gp * r[i];
            }
            p.pas = sgg > 0 ? sgr / sgg : 0;
        }
        return p;
    }

    const Donnees& d_;
    std::vector<double> e_, r_, g_;
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
    assert(etendue > 0 && std::isfinite(pasMin));
    const double kMin = kFacteurKMin / etendue;
    const double kMax = kFacteurKMax / pasMin;
    const double uMin = std::log(kMin), uMax = std::log(kMax);

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
    for (int etape = 0; etape < kPasMax; ++etape) {
        double pas = p.pas;
        if (!std::isfinite(pas) || std::abs(pas) <= kPasRelatifFinal * k)
            break;
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

    // The covariance from the full Jacobian, columns scaled to unit length.
    Eigen::MatrixXd j(static_cast<Eigen::Index>(n), parametres);
    for (std::size_t i = 0; i < n; ++i) {
        const double tau = toutes.tau[i];
        const double e = std::exp(-k * tau);
        const auto ligne = static_cast<Eigen::Index>(i);
        if (fixe) {
            j(ligne, 0) = -std::expm1(-k * tau);
            j(ligne, 1) = p.beta * tau * e;
        } else {
            j(ligne, 0) = e;
            j(ligne, 1) = -std::expm1(-k * tau);
            j(ligne, 2) = -p.beta * tau * e;
        }
    }
    const Eigen::VectorXd normes = j.colwise().norm();
    const double infini = std::numeric_limits<double>::infinity();
    Eigen::VectorXd u2 = Eigen::VectorXd::Constant(parametres, infini);
    if ((normes.array() > 0).all()) {
        j = j * normes.cwiseInverse().asDiagonal();
        const Eigen::HouseholderQR<Eigen::MatrixXd> qr(j);
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
