// The kinetic analysis of a run as the window and the command line see it:
// the fit against another least-squares tool, the derived values, the
// graphical half-time, the remarks and the refusals.
#include "analyse/TexteResultat.h"
#include "kinetics/AnalyseCinetique.h"

#include "Chiffres.h"
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace Cinetique;

std::vector<Point> Points(const std::vector<double>& t, const std::vector<double>& p)
{
    std::vector<Point> points;
    for (std::size_t i = 0; i < t.size(); ++i)
        points.push_back({t[i], p[i]});
    return points;
}

// A first-order curve sampled once a second, with Gaussian noise (fixed
// seed; none when `bruit` is 0).
std::vector<Point> Courbe(int points, double pa, double pInf, double tDemi, double bruit, unsigned graine = 1)
{
    std::mt19937 generateur(graine);
    std::normal_distribution<double> loi(0, bruit > 0 ? bruit : 1);
    std::vector<Point> courbe;
    for (int i = 0; i < points; ++i)
        courbe.push_back({double(i), pInf - (pInf - pa) * std::exp(-std::log(2.0) * i / tDemi)
                                         + (bruit > 0 ? loi(generateur) : 0)});
    return courbe;
}

// Fitted once with SciPy 1.10.1: scipy.optimize.curve_fit(f, t, p, p0=...,
// ftol=1e-15, xtol=1e-15, gtol=1e-15), f(t, pa, pinf, k) = pinf - (pinf -
// pa)*exp(-k*(t - t[0])), or with a fixed start f(t, pinf, k) = p0 + (pinf -
// p0)*(1 - exp(-k*(t - t0))); u = sqrt(diag(pcov)), s = sqrt(SSR/(n - params)).
struct Reference {
    const char* nom;
    std::vector<double> t, p;
    bool origineFixee;
    double pa, uPa, pInf, uPInf, k, uK, s;
};
const Reference kMontee = { // a rise with noise, every 8 s
    "montee", {0, 8, 16, 24, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 112, 120, 128, 136, 144, 152, 160, 168, 176, 184, 192},
    {101288.1, 101694.5, 101989.7, 102313.0, 102530.9, 102708.9, 102869.4, 103013.1, 103117.2, 103212.1, 103305.2,
     103368.2, 103414.8, 103460.8, 103503.2, 103524.0, 103554.3, 103591.4, 103600.2, 103597.5, 103624.3, 103652.5,
     103648.5, 103657.6, 103676.0},
    false, 1.0129040647e+05, 8.0233032427e+00, 1.0369636688e+05, 4.6642110522e+00, 2.2409024605e-02,
    1.8076972793e-04, 1.0586937467e+01};
const Reference kBaisse = { // a falling pressure on uneven times from 30 s
    "baisse", {30.0, 35.2, 39.4, 45.9, 51.5, 56.3, 60.6, 68.8, 76.6, 83.3, 88.3, 97.0, 103.4, 109.0, 117.4, 122.3,
               129.5, 134.4, 138.9, 146.2, 150.5, 156.5, 163.0, 167.1, 174.5, 180.8, 187.5, 192.7, 198.3, 204.2},
    {99793.4, 99660.5, 99534.6, 99380.8, 99255.0, 99164.0, 99093.8, 98937.3, 98818.0, 98730.4, 98671.5, 98575.0,
     98520.5, 98495.4, 98413.5, 98389.1, 98330.7, 98317.6, 98275.7, 98252.5, 98264.1, 98212.8, 98207.3, 98187.7,
     98160.4, 98139.3, 98143.3, 98117.8, 98124.2, 98091.5},
    false, 9.9803513474e+04, 6.1182649786e+00, 9.8008720521e+04, 6.5605349814e+00, 1.6954742954e-02,
    1.9519193123e-04, 9.8130598094e+00};
// The fixed start at the run's first point (0 s, 100 200 Pa): not a measured
// point, so SciPy's fit is on the 15 others (s and u are √(14/13) times those
// of a fit that counted the start among 16 points).
const Reference kOrigine = {
    "origine", {0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 260, 280, 300},
    {100200.0, 100504.5, 100742.7, 100915.1, 101075.4, 101203.9, 101294.4, 101391.5, 101453.5, 101473.5, 101515.8,
     101554.5, 101597.2, 101640.9, 101628.6, 101649.5},
    true, 100200.0, 0, 1.0170215678e+05, 9.0851712037e+00, 1.0961501137e-02, 1.8912465073e-04,
    1.2966582603e+01};

TEST(AnalyseCinetique, fits_match_scipy_with_their_standard_uncertainties)
{
    for (const Reference& ref : {kMontee, kBaisse, kOrigine}) {
        SCOPED_TRACE(ref.nom);
        Options options;
        options.origineFixee = ref.origineFixee;
        const Resultat r = Analyser(Points(ref.t, ref.p), options);
        EXPECT_EQ(r.points, static_cast<int>(ref.t.size()) - (ref.origineFixee ? 1 : 0));
        EXPECT_EQ(r.modele.ta, ref.t.front());
        EXPECT_TRUE(Chiffres(r.pa, ref.pa, 9));
        EXPECT_NEAR(r.uPa, ref.uPa, 5e-6 * ref.uPa);
        EXPECT_TRUE(Chiffres(r.pInf, ref.pInf, 9));
        EXPECT_TRUE(Chiffres(r.uPInf, ref.uPInf, 6));
        EXPECT_TRUE(Chiffres(r.k, ref.k, 6));
        EXPECT_TRUE(Chiffres(r.uK, ref.uK, 6));
        EXPECT_TRUE(Chiffres(r.ecartTypeResidus, ref.s, 6));
    }
}

TEST(AnalyseCinetique, derived_values_of_the_rise_match_their_definitions_on_scipys_fit)
{
    // From SciPy's values: t½ = ln 2/k, u(t½) = t½·u(k)/k, x_f = (pinf - p0)·V/(R·T)
    // with V = 0.25/1000 m³, T = 293 K, R = 8.314, u(x_f) from u(pinf) and the
    // noise s of the measured p0: √(u(pinf)² + s²)·V/(R·T); R² = 1 - SSR/SST; the
    // graphical half-time by NumPy's linear interpolation.
    Options options;
    options.volume = 0.25;
    options.temperature = 20;
    const Resultat r = Analyser(Points(kMontee.t, kMontee.p), options);
    EXPECT_TRUE(Chiffres(r.tDemi, 3.0931608705e+01, 6));
    EXPECT_TRUE(Chiffres(r.uTDemi, 2.4951994068e-01, 6));
    ASSERT_TRUE(r.xFinal && r.uXFinal);
    EXPECT_TRUE(Chiffres(*r.xFinal, 2.4715362256e-04, 6));
    EXPECT_TRUE(Chiffres(*r.uXFinal, 1.1872775753e-06, 6));
    EXPECT_TRUE(Chiffres(1 - r.r2, 1 - 0.999771872187, 4));
    ASSERT_TRUE(r.tDemiGraphique);
    EXPECT_TRUE(Chiffres(*r.tDemiGraphique, 3.0580392390e+01, 6));
    EXPECT_TRUE(r.remarques.empty());
    EXPECT_FALSE(Analyser(Points(kMontee.t, kMontee.p), {}).xFinal); // no V, T: no extent
}

TEST(AnalyseCinetique, interval_fits_only_its_points_and_fixed_start_stays_at_the_runs_first_point)
{
    std::vector<Point> run; // the rise after a flat prefix of 40 s
    for (int i = 0; i < 5; ++i)
        run.push_back({-40.0 + 8 * i, 101288.1});
    for (const Point& q : Points(kMontee.t, kMontee.p))
        run.push_back(q);
    Options options;
    options.debut = -0.5;
    const Resultat r = Analyser(run, options);
    EXPECT_EQ(r.points, 25);
    EXPECT_EQ(r.debut, 0);
    EXPECT_TRUE(Chiffres(r.k, kMontee.k, 6));
    options.origineFixee = true;
    const Resultat fixe = Analyser(run, options);
    EXPECT_EQ(fixe.modele.ta, -40);
    EXPECT_EQ(fixe.modele.pa, 101288.1);
    EXPECT_EQ(fixe.points, 25);
}

TEST(AnalyseCinetique, four_points_leave_k_and_the_graphical_half_time_undetermined)
{
    Options options; // the rise's first four points: one degree of freedom
    options.fin = 24;
    const Resultat r = Analyser(Points(kMontee.t, kMontee.p), options);
    EXPECT_FALSE(r.determine);
    EXPECT_EQ(r.remarques, std::vector{Remarque::TropPeuDePoints});
    EXPECT_TRUE(std::isnan(r.k));
    EXPECT_FALSE(r.tDemiGraphique);
}

bool A(const Resultat& r, Remarque remarque)
{
    return std::find(r.remarques.begin(), r.remarques.end(), remarque) != r.remarques.end();
}

TEST(AnalyseCinetique, plateau_and_no_reaction_remarks_follow_their_thresholds)
{
    using R = std::vector<Remarque>;
    const R plateau{Remarque::PlateauNonAtteint}, aucune{Remarque::AucuneReaction};
    // Courbe(points, p0, pInf, half-time, noise). 95 % of the way is reached
    // at ln 20 / ln 2 = 4.32 half-times; a change within 3 σ of a 50 Pa noise
    // is no reaction.
    const struct {
        int points;
        double pInf, demi, bruit;
        R remarques;
    } cas[] = {{200, 120000, 100, 20, plateau}, {420, 120000, 100, 20, plateau}, {450, 120000, 100, 20, {}},
               {900, 120000, 100, 20, {}},      {600, 100000, 60, 50, aucune},  {600, 100060, 60, 50, aucune},
               {600, 101000, 60, 50, {}}};
    for (const auto& c : cas)
        EXPECT_EQ(Analyser(Courbe(c.points, 100000, c.pInf, c.demi, c.bruit), {}).remarques, c.remarques)
            << c.points << " points to " << c.pInf << " Pa";
    // SciPy's falling pressure ends at 1 - exp(-k·(204.2 - 30)) = 94.8 %.
    EXPECT_EQ(Analyser(Points(kBaisse.t, kBaisse.p), {}).remarques, plateau);
}

TEST(AnalyseCinetique, first_order_remark_for_a_second_order_reaction_only)
{
    // x = a²·k·t / (1 + a·k·t), half-time 200 s, noise 20 Pa on 20 000 Pa.
    std::mt19937 generateur(3);
    std::normal_distribution<double> bruit(0, 20);
    std::vector<Point> ordreDeux;
    for (int i = 0; i < 1800; ++i)
        ordreDeux.push_back({double(i), 100000 + 20000 * (i / 200.0) / (1 + i / 200.0) + bruit(generateur)});
    const Resultat r = Analyser(ordreDeux, {});
    EXPECT_TRUE(A(r, Remarque::OrdreUnNonAjuste));
    // Its steep start is not taken for the end of a baseline.
    EXPECT_FALSE(A(r, Remarque::DebutDetecte)) << TexteRemarques(r, DecimalSeparator());
    EXPECT_EQ(r.debut, 0);

    // White noise around a first-order curve is never taken for a misfit...
    for (unsigned graine = 1; graine <= 100; ++graine)
        EXPECT_FALSE(A(Analyser(Courbe(600, 100000, 105000, 60, 30, graine), {}), Remarque::OrdreUnNonAjuste))
            << "seed " << graine;
    // ... nor are a saved run's 4 significant digits: steps of 10 Pa, in long
    // runs of one sign on the plateau, far too small to be seen; the rounding,
    // larger than the noise, is the one remark.
    std::vector<Point> enregistree = Courbe(1800, 100000, 120000, 150, 3);
    for (Point& q : enregistree)
        q.p = std::round(q.p / 10) * 10;
    EXPECT_EQ(Analyser(enregistree, {}).remarques, std::vector{Remarque::PressionsArrondies});
}

class RefusAnalyse : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator(','); }
    void TearDown() override { SetDecimalSeparator(separateur_); }

private:
    const char separateur_ = DecimalSeparator();
};

TEST_F(RefusAnalyse, bad_input_gets_its_french_message_and_no_result)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), infini = std::numeric_limits<double>::infinity();
    const std::vector<Point> bon = Courbe(10, 100000, 101000, 3, 0); // t = 0 … 9 s
    auto avec = [&](std::size_t i, Point q) {
        std::vector<Point> run = bon;
        run[i] = q;
        return run;
    };
    auto options = [](std::optional<double> debut, std::optional<double> fin, std::optional<double> volume = {},
                      std::optional<double> temperature = {}) {
        Options o;
        o.debut = debut;
        o.fin = fin;
        o.volume = volume;
        o.temperature = temperature;
        return o;
    };
    const std::string volume = "Le volume doit être compris entre 0,05 et 5 L.";
    const std::string temperature = "La température doit être supérieure à -273 °C et ne pas dépasser 127 °C.";
    const std::string dehors = " s est en dehors des mesures, qui vont de 0 à 9 s.";
    const std::string nonFini = " n'a pas une valeur numérique finie : l'analyse est impossible.";
    struct Cas {
        std::vector<Point> points;
        Options options;
        std::string message;
    };
    const Cas cas[] = {
        {{}, {}, "Il faut au moins 4 points de mesure pour l'analyse ; il y en a 0."},
        {{bon.begin(), bon.begin() + 3}, {}, "Il faut au moins 4 points de mesure pour l'analyse ; il y en a 3."},
        {avec(3, {2, 100500}), {}, "Les temps des mesures doivent être croissants : le point 4 ne suit pas le point 3."},
        {avec(1, {1, nan}), {}, "Le point de mesure 2" + nonFini},
        {avec(9, {infini, 101000}), {}, "Le point de mesure 10" + nonFini},
        {Courbe(10, 100000, 100000, 3, 0), {},
         "La pression est constante sur l'intervalle : aucune courbe ne peut y être ajustée."},
        {bon, options(20.5, 30), "L'intervalle de 20,5 à 30" + dehors},
        {bon, options(-30, -0.5), "L'intervalle de -30 à -0,5" + dehors},
        {bon, options(7, 5), "Le début de l'intervalle (7 s) doit précéder sa fin (5 s)."},
        {bon, options(6.5, 8.5), "L'intervalle de 6,5 à 8,5 s ne contient que 2 point(s) de mesure ; il en faut au moins 4."},
        {bon, options(2.2, 2.8), "L'intervalle de 2,2 à 2,8 s ne contient que 0 point(s) de mesure ; il en faut au moins 4."},
        {bon, options(nan, {}), "Le début et la fin de l'intervalle doivent être des nombres."},
        {bon, options({}, {}, 5.01, 20), volume},
        {bon, options({}, {}, 0.049, 20), volume},
        {bon, options({}, {}, nan, 20), volume},
        {bon, options({}, {}, 0.25, 127.5), temperature},
        {bon, options({}, {}, 0.25, -273), temperature},
        {bon, options({}, {}, {}, infini), temperature},
    };
    for (const Cas& c : cas) {
        try {
            Analyser(c.points, c.options);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const EAnalyseImpossible& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

// Random runs of every shape, extreme values included: each gives a result
// or a refusal, never another error, a crash or a hang.
TEST(AnalyseCinetique, any_run_gives_a_result_or_a_refusal)
{
    std::mt19937 generateur(11);
    std::uniform_int_distribution<int> taille(0, 40);
    std::uniform_real_distribution<double> exposant(-300, 300), unite(-1, 1);
    for (int essai = 0; essai < 2000; ++essai) {
        std::vector<Point> run;
        const double echelleT = std::pow(10.0, exposant(generateur)), echelleP = std::pow(10.0, exposant(generateur));
        double t = unite(generateur) * echelleT;
        for (int i = taille(generateur); i > 0; --i) {
            t += std::abs(unite(generateur)) * echelleT;
            run.push_back({t, unite(generateur) * echelleP});
        }
        try {
            const Resultat r = Analyser(run, {});
            EXPECT_TRUE(std::isfinite(r.modele.k) && r.modele.k > 0);
            EXPECT_EQ(r.determine, std::isfinite(r.k) && r.k > 0);
        } catch (const EAnalyseImpossible&) {
        }
    }
}

} // namespace
