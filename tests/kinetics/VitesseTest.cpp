// The volumetric rate and the linearised first-order test, against values
// worked out by hand or from the curve's own derivative.
#include "kinetics/AnalyseCinetique.h"
#include "kinetics/DeriveeSavitzkyGolay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace Cinetique;

// v = (1/V)·dx/dt = (dp/dt)·(V/1000)/(R·T)/V = (dp/dt) / (1000·8.314·293)
// at 20 °C, whatever the volume.
constexpr double kPascalsParSecondeEnMolParLitre = 1 / (1000 * 8.314 * 293);

Options Conditions()
{
    Options options;
    options.volume = 0.25;
    options.temperature = 20;
    return options;
}

TEST(VitesseVolumique, from_the_data_is_exact_for_a_quadratic_at_every_point_ends_included)
{
    // p = 100 000 + 30·t - 0.05·t², dp/dt = 30 - 0.1·t; even and uneven times.
    const std::vector<std::vector<double>> echantillonnages = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20},
        {0, 0.7, 2, 2.5, 4.1, 5, 6.6, 7, 8.9, 9.3, 11, 12.2, 13, 14.8, 15, 16.4, 18, 19, 20.5, 21, 23}};
    for (const std::vector<double>& temps : echantillonnages) {
        std::vector<Point> run;
        for (double t : temps)
            run.push_back({t, 100000 + 30 * t - 0.05 * t * t});
        const Resultat resultat = Analyser(run, Conditions());
        for (const int fenetre : {0, 3, 7, 21}) {
            SCOPED_TRACE(fenetre);
            const std::vector<PointVitesse> v = VitesseVolumique(run, Conditions(), resultat, fenetre);
            ASSERT_EQ(v.size(), temps.size());
            for (std::size_t i = 0; i < v.size(); ++i) {
                EXPECT_EQ(v[i].t, temps[i]);
                EXPECT_NEAR(v[i].donnees, (30 - 0.1 * temps[i]) * kPascalsParSecondeEnMolParLitre, 1e-12);
            }
        }
    }
}

TEST(VitesseVolumique, from_the_model_is_the_curves_derivative)
{
    // p = 100 000 + 8 000·(1 - e^(-t/50)) exactly: the fit is the curve.
    std::vector<Point> run;
    for (int i = 0; i < 300; ++i)
        run.push_back({double(i), 100000 + 8000 * -std::expm1(-i / 50.0)});
    const Resultat resultat = Analyser(run, Conditions());
    const std::vector<PointVitesse> v = VitesseVolumique(run, Conditions(), resultat);
    for (std::size_t i = 0; i < v.size(); i += 37) {
        const double attendue = 8000 / 50.0 * std::exp(-v[i].t / 50) * kPascalsParSecondeEnMolParLitre;
        EXPECT_NEAR(v[i].modele, attendue, 1e-9 * attendue);
        // The quadratic's curvature error over the default window of 15
        // points, on a curve that halves every 35 points: under 1 %.
        EXPECT_NEAR(v[i].donnees, attendue, 1e-2 * attendue);
    }
}

TEST(VitesseVolumique, needs_the_volume_and_the_temperature_and_an_odd_window)
{
    std::vector<Point> run;
    for (int i = 0; i < 10; ++i)
        run.push_back({double(i), 100000.0 + i * i});
    const Resultat resultat = Analyser(run, {});
    EXPECT_THROW(VitesseVolumique(run, {}, resultat), EAnalyseImpossible);
    for (const int fenetre : {-1, 1, 4}) {
        try {
            VitesseVolumique(run, Conditions(), resultat, fenetre);
            ADD_FAILURE() << fenetre;
        } catch (const EAnalyseImpossible& e) {
            EXPECT_EQ(e.Message(), "La fenêtre de dérivation doit compter un nombre impair de points, au moins 3.");
        }
    }
    // A window wider than the interval takes all of it.
    EXPECT_EQ(VitesseVolumique(run, Conditions(), resultat, 51).size(), 10u);
}

// y = ln((pInf - pa)/(pInf - p)) with pa = 1000, pInf = 1100, over 0 to 3 s.
Resultat Modele()
{
    Resultat r;
    r.modele = {0, 1000, 1100, 0.5};
    r.debut = 0;
    r.fin = 3;
    return r;
}

TEST(TestLineaire, slope_and_r2_of_a_line_through_the_origin_worked_by_hand)
{
    // y = 0, 1, 3 at t = 0, 1, 2 (p = 1000 + 100·(1 - e^-y)); the fourth point is
    // past the plateau. Slope Σty/Σt² = 7/5; residuals 0, -0.4, 0.2;
    // R² = 1 - 0.2 / Σ(y - 4/3)² = 1 - 0.2 / (42/9) = 0.957142857...
    const std::vector<Point> run = {{0, 1000}, {1, 1000 - 100 * std::expm1(-1.0)}, {2, 1000 - 100 * std::expm1(-3.0)}, {3, 1120}};
    const TestOrdreUn test = TestLineaire(run, {}, Modele());
    EXPECT_EQ(test.ecartes, 1);
    EXPECT_NEAR(test.pente, 1.4, 1e-14);
    EXPECT_NEAR(test.r2, 1 - 0.2 / (42.0 / 9), 1e-14);
}

} // namespace
