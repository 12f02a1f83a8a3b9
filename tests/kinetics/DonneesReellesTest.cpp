// What real lab runs hold besides the reaction, each built from the physics
// with a known truth: a baseline before the start, a vent, a logger's error
// codes, a wild point, a straight line, rounded pressures, units; NIST's
// certified fits through the analysis; and the coverage of u(k).
#include "analyse/TexteResultat.h"
#include "kinetics/AnalyseCinetique.h"
#include "journal/LectureEssai.h"
#include "commande/LigneCommande.h"
#include "acquisition/DemonstrationSignal.h"

#include "Chiffres.h"
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace Cinetique;

// A run sampled once a second from 0 to `duree` s: p0 up to `depart` (plus
// `derive` Pa/s), then p0 + amplitude·(1 - 2^(-(t - depart)/tDemi)), with
// Gaussian noise of σ `bruit` (fixed seed).
std::vector<Point> Essai(int duree, double depart, double amplitude, double tDemi, double bruit,
                         unsigned graine = 1, double derive = 0)
{
    std::mt19937 generateur(graine);
    std::normal_distribution<double> loi(0, bruit);
    std::vector<Point> essai;
    for (int i = 0; i <= duree; ++i) {
        const double t = i;
        const double base = 100000 + derive * std::min(t, depart);
        const double p = t <= depart ? base : base + amplitude * (1 - std::exp2(-(t - depart) / tDemi));
        essai.push_back({t, p + loi(generateur)});
    }
    return essai;
}

bool A(const Resultat& r, Remarque remarque)
{
    return std::find(r.remarques.begin(), r.remarques.end(), remarque) != r.remarques.end();
}

class DonneesReelles : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator(','); }
    void TearDown() override { SetDecimalSeparator(separateur_); }

private:
    const char separateur_ = DecimalSeparator();
};

TEST_F(DonneesReelles, the_start_is_found_after_a_baseline_and_clean_runs_keep_their_first_point)
{
    const struct {
        const char* nom;
        std::vector<Point> essai;
        double debut;       // the truth
        double tDemi;       // s, after the start
    } cas[] = {
        {"flat for 60 s", Essai(600, 60, 20000, 41.6, 20), 60, 41.6},
        {"drifting baseline", Essai(1800, 915, 8000, 120, 15, 2, 0.5), 915, 120},
        {"clean run", Essai(600, 0, 20000, 41.6, 20), 0, 41.6},
        {"clean slow run", Essai(1200, 0, 5000, 300, 10, 3), 0, 300},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const Resultat r = Analyser(c.essai, {});
        EXPECT_NEAR(r.debut, c.debut, 2);
        EXPECT_NEAR(r.tDemi, c.tDemi, 3 * r.uTDemi);
        EXPECT_EQ(A(r, Remarque::DebutDetecte), c.debut > 0);
    }
    const Resultat r = Analyser(cas[1].essai, {});
    EXPECT_EQ(TexteRemarque(r.details.front(), DecimalSeparator()),
              "Début de la réaction détecté à t = " + FormatGeneral(r.debut, 6, DecimalSeparator())
                  + " s : les points précédents (ligne de base) sont écartés.");
    // An explicit start overrides it: the whole run, and the first-order model
    // misses the baseline.
    Options depuisZero;
    depuisZero.debut = 0;
    const Resultat force = Analyser(cas[0].essai, depuisZero);
    EXPECT_EQ(force.debut, 0);
    EXPECT_FALSE(A(force, Remarque::DebutDetecte));
    EXPECT_GT(force.tDemi, 60);
}

// Clean first-order runs of every pace, rising or falling, noisy or not:
// nothing is found in them besides the reaction (the sample file's rounding
// to 100 Pa is, below).
TEST_F(DonneesReelles, clean_runs_of_every_pace_show_no_start_step_or_wild_point)
{
    for (const double tDemi : {1.5, 4.0, 20.0, 83.0, 400.0, 3000.0})
        for (const double amplitude : {20000.0, -8000.0})
            for (const double bruit : {0.0, 5.0, 60.0}) {
                const Resultat r = Analyser(Essai(1200, 0, amplitude, tDemi, bruit > 0 ? bruit : 1e-300, 9), {});
                SCOPED_TRACE(::testing::Message() << "t½ " << tDemi << ", " << amplitude << " Pa, noise " << bruit
                                                  << ": " << TexteRemarques(r, DecimalSeparator()));
                EXPECT_EQ(r.debut, 0);
                EXPECT_EQ(r.fin, 1200);
                for (const Remarque remarque : {Remarque::DebutDetecte, Remarque::Rupture, Remarque::PointAberrant})
                    EXPECT_FALSE(A(r, remarque));
            }
}

TEST_F(DonneesReelles, the_program_sample_keeps_its_first_point_and_names_its_rounding)
{
    const Resultat r = Analyser(LireFichierEssai(NELVAR_EXEMPLE), {});
    EXPECT_EQ(r.debut, 0);
    EXPECT_EQ(FormatGeneral(r.tDemi, 4, DecimalSeparator()), "83,1");
    EXPECT_FALSE(A(r, Remarque::DebutDetecte));
    EXPECT_EQ(r.remarques.back(), Remarque::PressionsArrondies);
    EXPECT_EQ(TexteRemarque(r.details.back(), DecimalSeparator()), "Les pressions du fichier sont arrondies (pas de 100 Pa) : les incertitudes sont "
                                 "sous-estimées ; analysez plutôt le journal de l'essai, en pleine précision.");
}

TEST_F(DonneesReelles, a_sudden_step_ends_the_interval_unless_the_end_is_given)
{
    // The rise (t½ = 50 s, truth k = ln 2/50) vented at 400 s, or pushed up.
    const double k = std::log(2.0) / 50;
    const struct {
        double saut;
        std::string texte;
    } cas[] = {
        {-35000, "Chute brutale de la pression à t = 400 s (flacon ouvert ou fuite ?) : l'analyse s'arrête avant."},
        {+15000, "Saut brutal de la pression à t = 400 s (bouchon enfoncé ou appareil perturbé ?) : l'analyse "
                 "s'arrête avant."},
    };
    for (const auto& c : cas) {
        std::vector<Point> essai = Essai(900, 0, 20000, 50, 25);
        for (Point& q : essai)
            if (q.t >= 400)
                q.p += c.saut * (1 - 0.2 * std::exp(-(q.t - 400) / 30)); // the level then settles
        const Resultat r = Analyser(essai, {});
        EXPECT_EQ(r.fin, 399);
        EXPECT_EQ(TexteRemarques(r, DecimalSeparator()), c.texte);
        EXPECT_NEAR(r.k, k, 3 * r.uK);
        Options jusquAuBout;
        jusquAuBout.fin = 900;
        EXPECT_FALSE(A(Analyser(essai, jusquAuBout), Remarque::Rupture));
    }
    // A baseline, then the rise, then the vent: both found, said in the run's order.
    std::vector<Point> essai = Essai(900, 100, 20000, 50, 25);
    for (Point& q : essai)
        q.p -= q.t >= 700 ? 35000 : 0;
    const Resultat r = Analyser(essai, {});
    EXPECT_EQ(r.remarques, (std::vector{Remarque::DebutDetecte, Remarque::Rupture}));
    EXPECT_NEAR(r.debut, 100, 2);
    EXPECT_EQ(r.fin, 699);
}

TEST_F(DonneesReelles, error_codes_are_left_out_and_named_by_their_line)
{
    std::string fichier = "t (s);p (Pa)\n";
    for (const Point& q : Essai(300, 0, 10000, 40, 20)) {
        const bool code = q.t == 57 || q.t == 58 || q.t == 200;
        fichier += FormatGeneral(q.t, 6, DecimalSeparator()) + ";" + (code ? std::string("-200") : FormatGeneral(q.p, 10, DecimalSeparator())) + "\n";
    }
    const Enregistrement essai = LireEnregistrement(fichier);
    std::vector<Point> propres;
    std::copy_if(essai.points.begin(), essai.points.end(), std::back_inserter(propres),
                 [](const Point& q) { return q.p > 0; });
    Options options;
    options.lecture = essai.lecture;
    const Resultat r = Analyser(essai.points, options);
    // t = 57 s is on the file's line 59 (the header, then t = 0 on line 2).
    EXPECT_EQ(TexteRemarque(r.details.front(), DecimalSeparator()), "3 valeurs nulles ou négatives ne sont pas des pressions (codes d'erreur de "
                                         "l'appareil ?) : elles sont écartées (première à la ligne 59).");
    const Resultat sans = Analyser(propres, {});
    EXPECT_EQ(r.points, 298);
    EXPECT_EQ(r.k, sans.k);
    EXPECT_EQ(r.p0, sans.p0);
    // Refused only when fewer than 4 points are left.
    try {
        Analyser(std::vector<Point>{{0, 1e5}, {1, -200}, {2, 1.01e5}, {3, 0}, {4, 1.02e5}}, {});
        ADD_FAILURE() << "accepted";
    } catch (const EAnalyseImpossible& e) {
        EXPECT_EQ(e.Message(), "Il faut au moins 4 points de mesure pour l'analyse ; il y en a 3.");
    }
}

TEST_F(DonneesReelles, a_wild_point_is_named_and_excluded_only_on_request)
{
    // Each point named by its date, in the order of the run; a point that
    // explains the residuals' structure leaves no remark of misfit.
    const struct {
        const char* cas;
        std::vector<std::pair<int, double>> ecarts; // second, Pa added
        double bruit;                               // Pa
        std::vector<double> dates;                  // s, the points named
    } cas[] = {
        {"two, the later the farther", {{400, 20000}, {150, 10000}}, 250, {150, 400}},
        {"one that pulls the curve off", {{300, 30000}}, 25, {300}},
    };
    for (const auto& c : cas) {
        std::vector<Point> essai = Essai(600, 0, 30000, 60, c.bruit, 5);
        for (const auto& [i, ecart] : c.ecarts)
            essai[static_cast<std::size_t>(i)].p += ecart;
        const Resultat r = Analyser(essai, {});
        EXPECT_EQ(r.remarques, std::vector(c.dates.size(), Remarque::PointAberrant)) << c.cas;
        std::vector<double> dates;
        for (const DetailRemarque& d : r.details)
            dates.push_back(d.t);
        EXPECT_EQ(dates, c.dates) << c.cas;
    }

    std::vector<Point> essai = Essai(600, 0, 30000, 60, 250, 5);
    essai[150].p += 10000;
    const Resultat r = Analyser(essai, {});
    EXPECT_EQ(r.points, 601);
    ASSERT_EQ(r.remarques, std::vector{Remarque::PointAberrant});
    // 10 000 Pa at 2 digits; about 40 times a noise of 250 Pa.
    const std::string debut = "Le point à t = 150 s s'écarte de la courbe de 10 000 Pa (";
    EXPECT_EQ(TexteRemarque(r.details[0], DecimalSeparator()).substr(0, debut.size()), debut);
    const double fois = std::stod(TexteRemarque(r.details[0], DecimalSeparator()).substr(debut.size(), 2));
    EXPECT_NEAR(fois, 40, 5);
    EXPECT_TRUE(TexteRemarque(r.details[0], DecimalSeparator()).ends_with(" fois le bruit) : vérifiez-le ou excluez-le."));

    // Excluded by the user (a time within half a step of the point): the fit
    // of the run without it, and the exclusion said.
    Options options;
    options.exclus = {150.3};
    const Resultat exclu = Analyser(essai, options);
    std::vector<Point> sans = essai;
    sans.erase(sans.begin() + 150);
    EXPECT_EQ(exclu.k, Analyser(sans, {}).k);
    EXPECT_EQ(exclu.exclus, std::vector<double>{150});
    EXPECT_EQ(TexteRemarques(exclu, DecimalSeparator()), "Point exclu à la demande : t = 150 s.");
    options.exclus = {150.6}; // nearer 151, more than half a step from 150
    EXPECT_EQ(Analyser(essai, options).exclus, std::vector<double>{151});
}

TEST_F(DonneesReelles, no_number_is_given_that_the_data_cannot_give)
{
    // A straight rise (zero order: 2 Pa/s) and a flat run (no reaction).
    std::vector<Point> droite = Essai(600, 0, 0, 1, 10);
    for (Point& q : droite)
        q.p += 2 * q.t;
    const std::vector<Point> plat = Essai(600, 0, 0, 1, 10);
    Options conditions;
    conditions.volume = 0.25;
    conditions.temperature = 20;
    for (const auto& [essai, remarque] : {std::pair{droite, Remarque::AucuneCourbure}, {plat, Remarque::AucuneReaction}}) {
        const Resultat r = Analyser(essai, conditions);
        EXPECT_FALSE(r.determine);
        EXPECT_EQ(r.remarques, std::vector{remarque});
        for (const double v : {r.k, r.uK, r.tDemi, r.uTDemi, r.pInf, r.uPInf})
            EXPECT_TRUE(std::isnan(v));
        EXPECT_FALSE(r.xFinal || r.uXFinal || r.tDemiGraphique);
        // The command line's row: the fields from k to u(x finale) empty but p initiale.
        const std::string ligne = LigneResultats("f", r, DecimalSeparator());
        EXPECT_NE(ligne.find("\t\t\t\t\t\t" + FormatGeneral(r.pa, 6, DecimalSeparator()) + "\t\t\t\t\t"), std::string::npos) << ligne;
    }
    EXPECT_EQ(TexteRemarques(Analyser(droite, {}), DecimalSeparator()),
              "Aucune courbure visible : la pression croît en ligne droite sur l'intervalle : réaction trop lente "
              "pour la durée mesurée, ou d'ordre 0 ; k et t½ ne peuvent pas être déterminés.");
}

TEST_F(DonneesReelles, a_unit_named_in_the_header_is_converted_and_a_likely_hpa_file_is_questioned)
{
    // Conversion factors: the definitions of the units (1 atm = 101 325 Pa,
    // 1 Torr = 1/760 atm, 1 mmHg = 133,322 387 415 Pa, 1 bar = 10⁵ Pa).
    const struct {
        const char* entete;
        double pascals;
        const char* unite;
    } cas[] = {
        {"Pression (hPa)", 100, "hPa"},     {"p (mbar)", 100, "mbar"},      {"p en kPa", 1000, "kPa"},
        {"p [bar]", 1e5, "bar"},             {"p (atm)", 101325, "atm"},    {"p (mmHg)", 133.322387415, "mmHg"},
        {"p (Torr)", 133.32236842105263, "Torr"}, {"p (Pa)", 1, ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.entete);
        const Enregistrement e = LireEnregistrement(std::string("t (s);") + c.entete + "\n0;1,5\n1;2\n");
        ASSERT_EQ(e.points.size(), 2u);
        EXPECT_TRUE(Chiffres(e.points[0].p, 1.5 * c.pascals, 12));
        EXPECT_EQ(e.lecture.uniteConvertie, c.unite);
        EXPECT_FALSE(e.lecture.sansUnite);
    }
    std::string hpa = "t;p\n";
    for (const Point& q : Essai(300, 0, 200, 40, 0.5))
        hpa += FormatGeneral(q.t, 6, DecimalSeparator()) + ";" + FormatGeneral(q.p / 100, 8, DecimalSeparator()) + "\n";
    const Enregistrement e = LireEnregistrement(hpa);
    EXPECT_TRUE(e.lecture.sansUnite);
    Options options;
    options.lecture = e.lecture;
    EXPECT_EQ(TexteRemarque(Analyser(e.points, options).details.front(), DecimalSeparator()),
              "Pressions de l'ordre de 1 000 : le fichier est-il en hPa ?");
    const Enregistrement converti = LireEnregistrement("t;Pression (hPa)\n" + hpa.substr(4));
    options.lecture = converti.lecture;
    const Resultat r = Analyser(converti.points, options);
    EXPECT_EQ(TexteRemarque(r.details.front(), DecimalSeparator()), "Pressions lues en hPa (en-tête de colonne) et converties en Pa.");
    EXPECT_NEAR(r.pInf - r.pa, 200, 3 * r.uPInf);
}

// NIST StRD Misra1a and BoxBOD (y = b1·(1 - exp(-b2·x)), certified values)
// as runs held at their first point (0, 100 000 Pa), or written with their
// origin row (0, 0) as NIST gives them: the start is not a measurement, with
// or without an interval that leaves it out.
TEST_F(DonneesReelles, fixed_origin_gives_nists_certified_deviations_with_or_without_a_start)
{
    const struct {
        const char* nom;
        std::vector<double> x, y;
        double b1, ub1, b2, ub2, s;
    } cas[] = {
        {"Misra1a",
         {77.6, 114.9, 141.1, 190.8, 239.9, 289.0, 332.8, 378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0},
         {10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02, 44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78},
         2.3894212918E+02, 2.7070075241E+00, 5.5015643181E-04, 7.2668688436E-06, 1.0187876330E-01},
        {"BoxBOD", {1, 2, 3, 5, 7, 10}, {109, 149, 149, 191, 213, 224},
         2.1380940889E+02, 1.2354515176E+01, 5.4723748542E-01, 1.0455993237E-01,
         17.088072423}, // √(SSR/4), SSR = 1.1680088766E+03
    };
    for (const auto& c : cas) {
        for (const double p0 : {100000.0, 0.0}) {
            std::vector<Point> essai = {{0, p0}};
            for (std::size_t i = 0; i < c.x.size(); ++i)
                essai.push_back({c.x[i], p0 + c.y[i]});
            for (const std::optional<double> debut : {std::optional<double>{}, std::optional(c.x[0] / 2)}) {
                SCOPED_TRACE(::testing::Message() << c.nom << " from " << p0
                                                  << (debut ? " from the first measurement" : ""));
                Options options;
                options.origineFixee = true;
                options.debut = debut;
                const Resultat r = Analyser(essai, options);
                EXPECT_EQ(r.points, static_cast<int>(c.x.size()));
                EXPECT_TRUE(Chiffres(r.pInf - p0, c.b1, 6));
                EXPECT_TRUE(Chiffres(r.uPInf, c.ub1, 6));
                EXPECT_TRUE(Chiffres(r.k, c.b2, 6));
                EXPECT_TRUE(Chiffres(r.uK, c.ub2, 6));
                EXPECT_TRUE(Chiffres(r.ecartTypeResidus, c.s, 6));
            }
        }
    }
}

// A saved file of `points`: times divided by `parSeconde`, pressures by
// `parPascal`, with `chiffres` significant digits, under `entete`.
std::string Fichier(const std::string& entete, const std::vector<Point>& points, double parSeconde = 1,
                    double parPascal = 1, int chiffres = 10)
{
    std::string texte = entete + "\n";
    for (const Point& q : points)
        texte += FormatGeneral(q.t / parSeconde, 10, ',') + ";" + FormatGeneral(q.p / parPascal, chiffres, ',') + "\n";
    return texte;
}

// p0 + amplitude·(1 - exp(-k·t)) read every `pas` s up to `duree`, with
// Gaussian noise of σ `bruit` and `ajout(t)` added.
template <class Ajout>
std::vector<Point> Releves(double duree, double pas, double amplitude, double k, double bruit, Ajout ajout)
{
    std::mt19937 generateur(7);
    std::normal_distribution<double> loi(0, 1);
    std::vector<Point> points;
    for (double t = 0; t <= duree; t += pas)
        points.push_back({t, 100000 + amplitude * -std::expm1(-k * t) + bruit * loi(generateur) + ajout(t)});
    return points;
}

// Recordings of the kinds real runs give, each built from the physics with
// its truth: the analysis decides by itself where to stop and what to say.
TEST_F(DonneesReelles, real_recordings_are_analysed_to_their_truth_with_the_remarks_they_call_for)
{
    const double jour = 86400, mmHg = 133.322387415;
    // A rise noisier than its long quiet baseline (3,6 Pa for 1 600 s, then
    // 45 Pa), a step of +74 Pa between two readings at 1 695 s: its noise.
    const double kBruyant = std::log(2.0) / 400;
    std::vector<Point> bruyant = Releves(3000, 1, 0, 0, 45, [&](double t) {
        return t < 1600 ? 0 : 6000 * -std::expm1(-kBruyant * (t - 1600));
    });
    for (Point& q : bruyant)
        if (q.t < 1600)
            q.p = 100000 + (q.p - 100000) * 3.6 / 45;
    bruyant[1695].p = bruyant[1694].p + 74;
    // The same rise read every 30 s, in seconds and in minutes.
    std::vector<Point> lent;
    for (std::size_t i = 0; i < bruyant.size(); i += 30)
        lent.push_back(bruyant[i]);
    // A 0,1 mmHg logger every 5 min for 11 days (t½ 4 days: successive
    // readings mostly equal), a 1 kPa dip every 40 readings: no break.
    const double kLent = std::log(2.0) / (4 * jour);
    std::vector<Point> enregistreur = Releves(975600, 300, 225 * mmHg, kLent, 0.05 * mmHg, [&](double t) {
        return std::fmod(t, 40 * 300) == 2700 ? -1000 : 0;
    });
    for (Point& q : enregistreur)
        q.p = std::round(q.p / mmHg * 10) / 10 * mmHg;
    // A bottle vented 20 times, by 8 to 11 kPa, from 95 400 s on.
    const double kFlacon = std::log(2.0) / jour;
    std::vector<Point> flacon = Releves(20 * 95400, 1800, 60000, kFlacon, 30, [](double t) {
        const double ventes = std::min(20.0, std::floor(t / 95400));
        return -9500 * ventes + 1500 * std::sin(ventes);
    });
    // A rise, its maximum at 1 315 s, then a slow leak.
    const double kFuite = std::log(2.0) / 200;
    const double fuite = 20000 * kFuite * std::exp(-kFuite * 1315);
    std::vector<Point> sommet = Releves(3600, 1, 20000, kFuite, 3, [&](double t) { return -fuite * t; });
    Options jusquAuSommet;
    jusquAuSommet.fin = 1315;
    // Three successive readings 300, 600, 300 Pa off a rise in 20 Pa of
    // noise: the model misses them, they are not three wild points.
    std::vector<Point> suite = Releves(600, 1, 20000, std::log(2.0) / 60, 20, [](double t) {
        return t >= 100 && t <= 102 ? 600 - 300 * std::abs(t - 101) : 0;
    });
    // A gauge sensor: relative pressures from exactly 0.
    std::vector<Point> jauge = Releves(900, 5, 5000, std::log(2.0) / 150, 15, [](double) { return -100000; });
    jauge.front().p = 0;

    const struct {
        const char* nom;
        std::string fichier;
        Options options;
        double k;                        // the truth, or the chemist's window's k (20 % then)
        std::vector<Remarque> remarques; // all of them, in order
        std::string texte = {};          // the first remark ("{t}": its date, near `date`)
        double date = 0;
        double incertitudes = 2; // k within this many u(k) (a misfit biases it)
    } cas[] = {
        {"noisy rise", Fichier("t (s);p (Pa)", bruyant), {}, kBruyant,
         {Remarque::DebutDetecte, Remarque::PlateauNonAtteint},
         "Début de la réaction détecté à t = {t} s : les points précédents (ligne de base) sont écartés.", 1600},
        {"0,1 mmHg logger", Fichier("t (s);p (mmHg)", enregistreur, 1, mmHg, 5), {}, kLent,
         {Remarque::UniteConvertie, Remarque::PlateauNonAtteint, Remarque::PointAberrant, Remarque::PointAberrant,
          Remarque::PointAberrant}},
        {"the logger in Pa", Fichier("t (s);p (Pa)", enregistreur), {}, kLent,
         {Remarque::PlateauNonAtteint, Remarque::PointAberrant, Remarque::PointAberrant, Remarque::PointAberrant}},
        {"vented bottle", Fichier("t (s);p (Pa)", flacon), {}, kFlacon,
         {Remarque::ChutesRepetees, Remarque::PlateauNonAtteint},
         "La pression chute brutalement 20 fois (première à t = {t} s ; soupape ou fuite ?) : l'analyse ne porte "
         "que sur la montée avant la première chute.", 95400},
        {"maximum then leak", Fichier("t (s);p (Pa)", sommet), {}, Analyser(sommet, jusquAuSommet).k,
         {Remarque::Maximum},
         "La pression passe par un maximum à t = {t} s puis diminue (gaz consommé ou fuite ?) : l'analyse s'arrête "
         "au maximum.", 1315},
        {"every 30 s", Fichier("Temps (s);p (Pa)", lent), {}, kBruyant,
         {Remarque::DebutDetecte, Remarque::PlateauNonAtteint}},
        {"minutes", Fichier("t (min);p (Pa)", lent, 60), {}, kBruyant,
         {Remarque::TempsConvertis, Remarque::DebutDetecte, Remarque::PlateauNonAtteint},
         "Dates lues en minutes (en-tête de colonne) et converties en s."},
        {"gauge from 0", Fichier("t (s);p (Pa)", jauge), {}, std::log(2.0) / 150, {}},
        {"three readings off", Fichier("t (s);p (Pa)", suite), {}, std::log(2.0) / 60, {Remarque::OrdreUnNonAjuste}, "", 0, 4},
    };
    for (const auto& c : cas) {
        const Resultat r = AnalyserEnregistrement(LireEnregistrement(c.fichier), c.options);
        SCOPED_TRACE(::testing::Message() << c.nom << ": " << TexteRemarques(r, ',') << " k = " << r.k << " ± "
                                          << r.uK << " truth " << c.k);
        EXPECT_EQ(r.remarques, c.remarques);
        if (!c.texte.empty()) {
            ASSERT_FALSE(r.details.empty());
            // The date within 5 % of the truth, written out with its thousands apart.
            const double t = r.details.front().t;
            EXPECT_NEAR(t, c.date, 0.05 * c.date);
            const int s = static_cast<int>(std::lround(t));
            const std::string date = s < 1000 ? std::to_string(s) : std::to_string(s / 1000) + " "
                                                                         + std::to_string(s % 1000 + 1000).substr(1);
            std::string texte = c.texte;
            if (const std::size_t ici = texte.find("{t}"); ici != std::string::npos)
                texte.replace(ici, 3, date);
            EXPECT_EQ(TexteRemarque(r.details.front(), ','), texte);
        }
        ASSERT_TRUE(r.determine);
        EXPECT_LT(std::abs(r.k - c.k), c.remarques == std::vector{Remarque::Maximum} ? 0.2 * c.k : c.incertitudes * r.uK);
    }
    // The minutes file and its seconds twin: the same k to the last digit.
    EXPECT_EQ(AnalyserEnregistrement(LireEnregistrement(cas[5].fichier), {}).k,
              AnalyserEnregistrement(LireEnregistrement(cas[6].fichier), {}).k);

    // The demonstration signal read once a second, cut short: nothing, or k
    // within 2 u of the whole run's, whatever the noise's draw.
    for (std::uint64_t graine = 1; graine <= 10; ++graine) {
        DemonstrationSignal signal(graine);
        std::vector<Point> demonstration;
        for (int i = 0; i < 300; ++i)
            demonstration.push_back(
                {double(i), signal.Voltage(1, std::chrono::seconds(i)) * DemonstrationSignal::kPascalsPerVolt});
        const double k = Analyser(demonstration, {}).k;
        for (const std::size_t n : {4, 8, 15}) {
            const Resultat r = Analyser(std::span(demonstration).first(n), {});
            SCOPED_TRACE(::testing::Message() << "seed " << graine << ", " << n << " readings: " << r.k << " ± "
                                              << r.uK << ", " << TexteRemarques(r, ','));
            if (r.determine)
                EXPECT_LT(std::abs(r.k - k), 2 * r.uK);
            else // and says why
                EXPECT_TRUE(A(r, Remarque::TropPeuDePoints) || A(r, Remarque::CourbeTropCourte)
                            || A(r, Remarque::AucuneCourbure) || A(r, Remarque::AucuneReaction));
        }
    }
}

// Over 400 runs with Gaussian noise, k lies within ±u(k) of the truth in
// 68,3 % of them: binomial spread √(400·0,683·0,317) = 9,3 runs, so the count
// stays within 273 ± 28 (3 spreads) unless u(k) is wrong.
TEST(CouvertureIncertitude, k_lies_within_its_standard_uncertainty_in_68_percent_of_runs)
{
    const double k = std::log(2.0) / 60;
    int dedans = 0;
    for (unsigned graine = 1; graine <= 400; ++graine) {
        const Resultat r = Analyser(Essai(300, 0, 3000, 60, 40, graine), {});
        if (std::abs(r.k - k) <= r.uK)
            ++dedans;
    }
    EXPECT_GE(dedans, 273 - 28);
    EXPECT_LE(dedans, 273 + 28);
}

} // namespace
