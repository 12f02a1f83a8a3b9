#include "kinetics/DeriveeSavitzkyGolay.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

namespace Cinetique {

namespace {

constexpr int kDiviseurFenetre = 20;
constexpr int kFenetreDefautMin = 5;
constexpr int kFenetreDefautMax = 51;
// Times closer to even than this fraction of the step are evenly sampled.
constexpr double kToleranceRegularite = 1e-9;

// The quadratic's design matrix on the window's times tau (relative to the
// point, scaled by h): columns 1, tau/h, (tau/h)².
Eigen::MatrixXd Plan(const Eigen::VectorXd& tau, double h)
{
    Eigen::MatrixXd a(tau.size(), 3);
    a.col(0).setOnes();
    a.col(1) = tau / h;
    a.col(2) = (tau / h).cwiseAbs2();
    return a;
}

// The weights w such that Σ w_j·y_j is the fitted quadratic's derivative at
// tau = 0: the pseudo-inverse's second row, divided by h.
Eigen::VectorXd Poids(const Eigen::VectorXd& tau, double h)
{
    const Eigen::MatrixXd pseudoInverse
        = Plan(tau, h).householderQr().solve(Eigen::MatrixXd::Identity(tau.size(), tau.size()));
    return pseudoInverse.row(1).transpose() / h;
}

// The fitted quadratic's derivative at tau = 0 for unevenly sampled times,
// from the 3×3 normal equations rather than a QR of the window's design
// matrix: with the abscissae centred on the window's mean and scaled by its
// span they lie in [-1, 1] and the system stays well conditioned, at a
// fraction of the cost (this runs for every point at each refresh of a live
// run, whose real times are never exactly even).
double PenteNormale(const Eigen::VectorXd& tau, const Eigen::VectorXd& y, double h)
{
    const double centre = tau.mean();
    Eigen::Matrix3d a = Eigen::Matrix3d::Zero();
    Eigen::Vector3d b = Eigen::Vector3d::Zero();
    for (Eigen::Index j = 0; j < tau.size(); ++j) {
        const double u = (tau(j) - centre) / h;
        const Eigen::Vector3d ligne(1.0, u, u * u);
        a.noalias() += ligne * ligne.transpose();
        b.noalias() += ligne * y(j);
    }
    const Eigen::Vector3d c = a.ldlt().solve(b);
    // d/dtau of c0 + c1·u + c2·u² at tau = 0, where u = -centre/h.
    return (c(1) + 2 * c(2) * (-centre / h)) / h;
}

bool Regulier(std::span<const double> t)
{
    const double pas = t[1] - t[0];
    for (std::size_t i = 2; i < t.size(); ++i)
        if (std::abs(t[i] - t[i - 1] - pas) > kToleranceRegularite * pas)
            return false;
    return true;
}

} // namespace

int FenetreParDefaut(int points)
{
    int fenetre = 2 * static_cast<int>(std::lround((points / static_cast<double>(kDiviseurFenetre) - 1) / 2)) + 1;
    fenetre = std::clamp(fenetre, kFenetreDefautMin, kFenetreDefautMax);
    const int impairMax = points % 2 == 1 ? points : points - 1;
    return std::max(kFenetreMinimale, std::min(fenetre, impairMax));
}

std::vector<double> DeriveeSavitzkyGolay(std::span<const double> t, std::span<const double> y, int fenetre)
{
    const auto n = static_cast<std::ptrdiff_t>(t.size());
    assert(y.size() == t.size() && fenetre % 2 == 1 && fenetre >= kFenetreMinimale && fenetre <= n);
    const std::ptrdiff_t demi = fenetre / 2;
    const bool regulier = Regulier(t);
    Eigen::VectorXd poidsMilieu; // evenly sampled: the same for every window in the middle
    std::vector<double> derivee(t.size());
    Eigen::VectorXd tau(fenetre), yFenetre(fenetre);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const std::ptrdiff_t debut = std::clamp(i - demi, std::ptrdiff_t{0}, n - fenetre);
        const bool milieu = debut == i - demi;
        for (std::ptrdiff_t j = 0; j < fenetre; ++j)
            yFenetre(j) = y[static_cast<std::size_t>(debut + j)];
        if (regulier && milieu && poidsMilieu.size() > 0) {
            derivee[static_cast<std::size_t>(i)] = poidsMilieu.dot(yFenetre);
            continue;
        }
        for (std::ptrdiff_t j = 0; j < fenetre; ++j)
            tau(j) = t[static_cast<std::size_t>(debut + j)] - t[static_cast<std::size_t>(i)];
        const double h = t[static_cast<std::size_t>(debut + fenetre - 1)] - t[static_cast<std::size_t>(debut)];
        if (regulier && milieu) {
            poidsMilieu = Poids(tau, h);
            derivee[static_cast<std::size_t>(i)] = poidsMilieu.dot(yFenetre);
        } else {
            derivee[static_cast<std::size_t>(i)] = PenteNormale(tau, yFenetre, h);
        }
    }
    return derivee;
}

} // namespace Cinetique
