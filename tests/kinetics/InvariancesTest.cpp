// What the analysis must keep whatever the interval, the clock's origin and
// the pressure's unit: the same law read on a shifted interval, results that
// do not move when every time is shifted, results scaled by the unit's factor
// only, the linear test's slope equal to k, and each remark's threshold seen
// from both sides.
#include "kinetics/AnalyseCinetique.h"

#include "Chiffres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace {

using namespace Cinetique;

// p(t) = pInf - (pInf - p0)·exp(-k·(t - t0)) sampled once a second from t0,
// plus Gaussian noise of `bruit` Pa (fixed seed) or, with `alterne`, a noise
// of ±bruit alternating from point to point (orthogonal to any smooth curve:
// the fit leaves it whole in the residuals).
struct Loi {
    double t0 = 0, p0 = 100000, pInf = 120000, tDemi = 60;
    double K() const { return std::log(2.0) / tDemi; }
    double P(double t) const { return pInf - (pInf - p0) * std::exp(-K() * (t - t0)); }
};

std::vector<Point> Echantillons(const Loi& loi, int points, double bruit = 0, bool alterne = false)
{
    std::mt19937 generateur(7);
    std::normal_distribution<double> gauss(0, 1);
    std::vector<Point> run;
    for (int i = 0; i < points; ++i) {
        const double e = bruit == 0 ? 0 : alterne ? (i % 2 == 0 ? bruit : -bruit) : bruit * gauss(generateur);
        run.push_back({loi.t0 + i, loi.P(loi.t0 + i) + e});
    }
    return run;
}

// The intervals every check runs on: the default one, a Début after the first
// point, a Fin before the last, each alone and both (offsets from t0, s).
struct Intervalle {
    const char* nom;
    std::optional<double> debut, fin;
};
const Intervalle kIntervalles[] = {
    {"default", {}, {}},
    {"debut alone", 120.5, {}},
    {"fin alone", {}, 400.5},
    {"debut and fin", 120.5, 400.5},
};

Options Decale(const Intervalle& intervalle, double t0)
{
    Options options;
    if (intervalle.debut)
        options.debut = t0 + *intervalle.debut;
    if (intervalle.fin)
        options.fin = t0 + *intervalle.fin;
    return options;
}

bool Proches(double a, double b, double relatif)
{
    return std::abs(a - b) <= relatif * std::max(std::abs(a), std::abs(b)) + 1e-300;
}

TEST(Invariances, a_first_order_run_gives_its_own_law_on_any_interval)
{
    // Exact samples of a known law: the fit must give the law back, the
    // interval starting at its first point, and the linear test's slope must
    // be k. The graphical half-time is read from the interval's first point:
    // half of the way from there to pInf is ln 2 / k later, which the 1 s
    // chords reach within a small fraction of a second.
    const Loi loi{.t0 = 37};
    const std::vector<Point> run = Echantillons(loi, 600);
    for (const Intervalle& intervalle : kIntervalles) {
        SCOPED_TRACE(intervalle.nom);
        const Options options = Decale(intervalle, loi.t0);
        const Resultat r = Analyser(run, options);
        const double ta = loi.t0 + std::ceil(intervalle.debut.value_or(0));
        const double fin = loi.t0 + std::floor(intervalle.fin.value_or(599));
        EXPECT_EQ(r.debut, ta);
        EXPECT_EQ(r.fin, fin);
        EXPECT_EQ(r.points, static_cast<int>(fin - ta) + 1);
        EXPECT_TRUE(Chiffres(r.k, loi.K(), 7));
        EXPECT_TRUE(Chiffres(r.pInf, loi.pInf, 9));
        EXPECT_TRUE(Chiffres(r.pa, loi.P(ta), 9));
        EXPECT_TRUE(Chiffres(r.tDemi, loi.tDemi, 7));
        ASSERT_TRUE(r.tDemiGraphique);
        EXPECT_NEAR(*r.tDemiGraphique, loi.tDemi, 0.05);

        const TestOrdreUn test = TestLineaire(run, options, r);
        EXPECT_EQ(test.points.size() + static_cast<std::size_t>(test.ecartes), static_cast<std::size_t>(r.points));
        EXPECT_TRUE(Chiffres(test.pente, r.k, 6)) << test.pente << " against k " << r.k;
        EXPECT_GT(test.r2, 0.999999);
        EXPECT_TRUE(r.remarques.empty());
    }
}

TEST(Invariances, a_reaction_that_starts_late_is_read_from_the_start_typed_whatever_came_before)
{
    // The pressure stays at p0 for a while (the reagents not yet mixed), then
    // follows the law from t0; Début at t0: the law again, times counted from
    // t0, and the plateau judged from there (4.2 half-times: not reached).
    const Loi loi{.t0 = 200, .tDemi = 60};
    for (const int attente : {0, 60, 200}) {
        SCOPED_TRACE(std::to_string(attente) + " s before the reaction");
        std::vector<Point> run;
        for (int i = attente; i > 0; --i)
            run.push_back({loi.t0 - i, loi.p0});
        for (const Point& q : Echantillons(loi, 600))
            run.push_back(q);
        for (const double demiVies : {4.2, 6.0}) {
            Options options;
            options.debut = loi.t0;
            options.fin = loi.t0 + demiVies * loi.tDemi;
            const Resultat r = Analyser(run, options);
            EXPECT_EQ(r.modele.ta, loi.t0);
            EXPECT_TRUE(Chiffres(r.k, loi.K(), 7));
            ASSERT_TRUE(r.tDemiGraphique);
            EXPECT_NEAR(*r.tDemiGraphique, loi.tDemi, 0.05);
            EXPECT_TRUE(Chiffres(TestLineaire(run, options, r).pente, loi.K(), 6));
            EXPECT_EQ(r.remarques, demiVies < 4.32 ? std::vector{Remarque::PlateauNonAtteint} : std::vector<Remarque>{});
        }
    }
}

TEST(Invariances, shifting_every_time_or_scaling_the_pressure_unit_moves_only_what_it_should)
{
    // A noisy run, fitted with a free and with a fixed start on each interval:
    // every time shifted by 10 000 s changes nothing but the interval's ends;
    // pressures in hPa·100 (every p times 100) scale the pressures, their
    // uncertainties and the extent by 100 and change nothing else.
    const Loi loi{.t0 = 0, .p0 = 1000, .pInf = 1200, .tDemi = 80};
    const std::vector<Point> run = Echantillons(loi, 500, 0.4);
    constexpr double kDecalage = 10000, kFacteur = 100;
    std::vector<Point> decale = run, pascals = run;
    for (Point& q : decale)
        q.t += kDecalage;
    for (Point& q : pascals)
        q.p *= kFacteur;
    for (const bool origineFixee : {false, true})
        for (const Intervalle& intervalle : kIntervalles) {
            SCOPED_TRACE(std::string(intervalle.nom) + (origineFixee ? ", fixed start" : ", free start"));
            Options options = Decale(intervalle, 0);
            options.origineFixee = origineFixee;
            options.volume = 0.25;
            options.temperature = 20;
            Options optionsDecalees = Decale(intervalle, kDecalage);
            optionsDecalees.origineFixee = origineFixee;
            optionsDecalees.volume = 0.25;
            optionsDecalees.temperature = 20;
            const Resultat r = Analyser(run, options);
            const Resultat d = Analyser(decale, optionsDecalees);
            const Resultat s = Analyser(pascals, options);
            constexpr double e = 1e-7;

            EXPECT_EQ(d.points, r.points);
            EXPECT_EQ(d.debut, r.debut + kDecalage);
            EXPECT_EQ(d.fin, r.fin + kDecalage);
            EXPECT_EQ(d.modele.ta, r.modele.ta + kDecalage);
            for (const auto& [nom, a, b] : {std::tuple{"k", d.k, r.k}, {"u(k)", d.uK, r.uK}, {"t1/2", d.tDemi, r.tDemi},
                                            {"pInf", d.pInf, r.pInf}, {"u(pInf)", d.uPInf, r.uPInf},
                                            {"pa", d.pa, r.pa}, {"R2", d.r2, r.r2},
                                            {"s", d.ecartTypeResidus, r.ecartTypeResidus},
                                            {"xFinal", *d.xFinal, *r.xFinal}}) {
                EXPECT_TRUE(Proches(a, b, e)) << nom << " shifted " << a << " against " << b;
            }
            ASSERT_TRUE(r.tDemiGraphique && d.tDemiGraphique && s.tDemiGraphique);
            EXPECT_TRUE(Proches(*d.tDemiGraphique, *r.tDemiGraphique, e));
            EXPECT_EQ(d.remarques, r.remarques);

            EXPECT_EQ(s.points, r.points);
            EXPECT_EQ(s.debut, r.debut);
            for (const auto& [nom, a, b] : {std::tuple{"k", s.k, r.k}, {"u(k)", s.uK, r.uK}, {"t1/2", s.tDemi, r.tDemi},
                                            {"R2", s.r2, r.r2}, {"t1/2 graphique", *s.tDemiGraphique, *r.tDemiGraphique}})
                EXPECT_TRUE(Proches(a, b, e)) << nom << " in Pa " << a << " against " << b;
            for (const auto& [nom, a, b] :
                 {std::tuple{"pInf", s.pInf, r.pInf}, {"u(pInf)", s.uPInf, r.uPInf}, {"pa", s.pa, r.pa},
                  {"s", s.ecartTypeResidus, r.ecartTypeResidus}, {"xFinal", *s.xFinal, *r.xFinal},
                  {"u(xFinal)", *s.uXFinal, *r.uXFinal}})
                EXPECT_TRUE(Proches(a, kFacteur * b, e)) << nom << " in Pa " << a << " against " << b;
            if (origineFixee)
                EXPECT_EQ(s.uPa, 0);
            else
                EXPECT_TRUE(Proches(s.uPa, kFacteur * r.uPa, e));
            EXPECT_EQ(s.remarques, r.remarques);

            // On noisy points the linear test's slope still follows k.
            EXPECT_NEAR(TestLineaire(run, options, r).pente / r.k, 1, 0.03);
        }
}

TEST(Invariances, each_remark_appears_on_one_side_of_its_threshold_only_on_a_shifted_interval_too)
{
    using R = std::vector<Remarque>;
    const R plateau{Remarque::PlateauNonAtteint}, aucune{Remarque::AucuneReaction}, rien{};
    // The plateau is reached once the curve has gone 95 % of the way from
    // the interval's first point: ln 20 / ln 2 = 4.32 half-times after it.
    // No reaction is seen when the fitted change is within 3 standard
    // deviations of the residuals: with an alternating noise of ±10 Pa the
    // residuals' deviation is 10 Pa (times sqrt(n/(n - 3)), 1.003 here) and
    // the change is the whole amplitude (the run lasts 20 half-times).
    const struct {
        const char* nom;
        Loi loi;
        int points;
        double bruit;
        std::optional<double> debut, fin; // s
        R remarques;
    } cas[] = {
        {"4.20 half-times from Début", {.tDemi = 60}, 900, 0, 300, 300 + 4.20 * 60, plateau},
        {"4.45 half-times from Début", {.tDemi = 60}, 900, 0, 300, 300 + 4.45 * 60, rien},
        {"4.20 half-times, Fin alone", {.tDemi = 60}, 900, 0, {}, 4.20 * 60, plateau},
        {"4.45 half-times, Fin alone", {.tDemi = 60}, 900, 0, {}, 4.45 * 60, rien},
        {"change of 2.8 deviations", {.pInf = 100028, .tDemi = 30}, 600, 10, {}, {}, aucune},
        {"change of 3.2 deviations", {.pInf = 100032, .tDemi = 30}, 600, 10, {}, {}, rien},
    };
    for (const auto& c : cas) {
        Options options;
        options.debut = c.debut;
        options.fin = c.fin;
        const Resultat r = Analyser(Echantillons(c.loi, c.points, c.bruit, true), options);
        EXPECT_EQ(r.remarques, c.remarques) << c.nom;
    }
}

TEST(Invariances, the_verdict_on_the_model_needs_too_few_sign_changes_and_is_graded_by_the_residuals_size)
{
    // 400 exact points of a law (20 000 Pa in 10 half-times) plus a pattern
    // of ±a in blocks of 3 then of 2 points, alternating: the residuals keep
    // the pattern's signs (it is far from any smooth curve) and a deviation of
    // a·sqrt(400/397). With 200 points of each sign the runs test expects
    // μ = 201 runs, σ = sqrt(200·199/399) = 9.987: R runs give z = (R - 201)/σ.
    // R = 170 (60 blocks of 3, 110 of 2): z = -3.10, chance; R = 166 (68 of
    // 3, 98 of 2): z = -3.50, structure. The residuals must also exceed 0.5 %
    // of the change: a = 0.42 % and 0.58 % of it; up to 2 % the model is
    // said to describe the curve that closely, beyond it not to fit.
    const Loi loi{.p0 = 100000, .pInf = 120000, .tDemi = 40};
    const auto Run = [&loi](int blocsDeTrois, double a) {
        std::vector<Point> run = Echantillons(loi, 400);
        std::size_t i = 0;
        double signe = 1;
        for (int bloc = 0; i < run.size(); ++bloc, signe = -signe)
            for (int j = 0; j < (bloc < blocsDeTrois ? 3 : 2) && i < run.size(); ++j)
                run[i++].p += signe * a;
        return run;
    };
    const std::vector<Remarque> aucune, proche{Remarque::OrdreUnApproche}, ordre{Remarque::OrdreUnNonAjuste};
    const struct {
        const char* nom;
        int blocsDeTrois;
        double fraction;
        std::vector<Remarque> remarques;
    } cas[] = {
        {"z = -3.10, residuals 1 %", 60, 0.01, aucune},  {"z = -3.50, residuals 1 %", 68, 0.01, proche},
        {"z = -3.50, residuals 0.42 %", 68, 0.0042, aucune}, {"z = -3.50, residuals 0.58 %", 68, 0.0058, proche},
        {"z = -3.50, residuals 1.9 %", 68, 0.019, proche}, {"z = -3.50, residuals 2.1 %", 68, 0.021, ordre},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Analyser(Run(c.blocsDeTrois, c.fraction * (loi.pInf - loi.p0)), {}).remarques, c.remarques)
            << c.nom;
}

} // namespace
