#include "kinetics/AnalyseCinetique.h"

#include "kinetics/Constantes.h"
#include "kinetics/AjustementExponentiel.h"
#include "kinetics/ConditionsMesure.h"
#include "kinetics/DemiReactionGraphique.h"
#include "kinetics/DeriveeSavitzkyGolay.h"
#include "kinetics/ExamenMesures.h"
#include "kinetics/TestDesSuites.h"
#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <string>

namespace Cinetique {

namespace {

// The fewest points a fit takes: one more than the free start's parameters.
constexpr std::size_t kPointsMin = 4;
// Digits of the times written in a message.
constexpr int kPrecisionMessage = 6;
// The plateau is reached when the curve at the last point has gone this
// fraction of the way from pa to pInf.
constexpr double kFractionPalier = 0.95;
// No reaction is seen when the fitted curve moves over the interval by at
// most this many standard deviations of the residuals.
constexpr double kBruitsAucuneReaction = 3;
// The first-order model does not fit when both hold: the residuals' signs
// change too seldom (runs test, z below this: one chance in 2 000 for white
// noise) ...
constexpr double kScoreSuitesMax = -3.29;
// ... and the residuals are large enough to be seen on the chart: their
// standard deviation above this fraction of the fitted change.
constexpr double kFractionEcartsVisibles = 0.005;
// A point is named when its residual exceeds this many robust standard
// deviations of the residuals (one in 10^20 for Gaussian noise); at most
// kAberrantsNommes of them, the farthest.
constexpr double kBruitsAberrant = 10;
constexpr std::size_t kAberrantsNommes = 3;
// The smallest standard deviation of noise-free data, relative to the
// pressures: the rounding of doubles, far below any sensor's.
constexpr double kBruitRelatifMin = 1e-9;
// Wild points: a neighbour beyond this many robust deviations, and beyond
// this fraction of the point's own distance, makes them a run of points off
// the curve (a misfit), not wild points.
constexpr double kBruitsVoisinHorsCourbe = kBruitsAberrant / 2;
constexpr double kFractionVoisinHorsCourbe = 0.25;
// Relative pressures: values spanning 0 are at least this fraction of them.
constexpr double kFractionNonPositives = 0.1;
// A file without unit whose pressures all lie in this range is probably in
// hPa or mbar.
constexpr double kPressionHpaMin = 500, kPressionHpaMax = 2000;

// A time in an error message, with the window's default separator (the
// messages are made where the failure is found).
std::string Nombre(double valeur)
{
    return FormatGeneral(valeur, kPrecisionMessage, DecimalSeparator());
}

std::string Rang(std::size_t i)
{
    return std::to_string(i + 1);
}

// The run's conditions in SI units, when both are given.
struct Conditions {
    double volume = 0;      // m³
    double temperature = 0; // K
    double litres = 0;      // L
};

std::optional<Conditions> LireConditions(const Options& options)
{
    try {
        const std::optional<double> volume
            = options.volume ? std::optional(ConditionsMesure::VolumeEnM3(*options.volume)) : std::nullopt;
        const std::optional<double> temperature
            = options.temperature ? std::optional(ConditionsMesure::TemperatureEnK(*options.temperature))
                                  : std::nullopt;
        if (!volume || !temperature)
            return std::nullopt;
        return Conditions{*volume, *temperature, *options.volume};
    } catch (const EAnalyseImpossible&) {
        throw;
    } catch (const Exception& e) {
        throw EAnalyseImpossible(e.Message());
    }
}

// The run's points, checked; those the analysis keeps, and the indices
// [premier, dernier] of the interval's among them.
struct Intervalle {
    std::size_t premier = 0, dernier = 0;
    std::size_t Taille() const { return dernier - premier + 1; }
};

// A zero or negative absolute pressure is a logger's error code, unless it
// is the origin the user holds the curve at.
bool EstCodeErreur(const Point& q, std::size_t i, bool relatives, const Options& options)
{
    return !relatives && !(options.origineFixee && i == 0) && !(q.p > 0);
}

struct Verification {
    std::vector<Point> retenus;
    Intervalle intervalle;
    int nonPressions = 0;       // zero or negative pressures left out
    std::size_t premierNonPression = 0; // the first one's index among all the points
};

Verification Verifier(std::span<const Point> points, const Options& options)
{
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!std::isfinite(points[i].t) || !std::isfinite(points[i].p))
            throw EAnalyseImpossible("Le point de mesure " + Rang(i)
                                     + " n'a pas une valeur numérique finie : l'analyse est impossible.");
    for (std::size_t i = 1; i < points.size(); ++i)
        if (!(points[i].t > points[i - 1].t))
            throw EAnalyseImpossible("Les temps des mesures doivent être croissants : le point " + Rang(i)
                                     + " ne suit pas le point " + Rang(i - 1) + ".");
    LireConditions(options);
    Verification v;
    const bool relatives = PressionsRelatives(points, options.lecture);
    for (std::size_t i = points.size(); i-- > 0;)
        if (EstCodeErreur(points[i], i, relatives, options)) {
            ++v.nonPressions;
            v.premierNonPression = i;
        }
    v.retenus = PointsRetenus(points, options);
    const std::vector<Point>& retenus = v.retenus;
    if (retenus.size() < kPointsMin)
        throw EAnalyseImpossible("Il faut au moins " + std::to_string(kPointsMin)
                                 + " points de mesure pour l'analyse ; il y en a " + std::to_string(retenus.size())
                                 + ".");

    const double premierT = retenus.front().t, dernierT = retenus.back().t;
    const double debut = options.debut.value_or(premierT);
    const double fin = options.fin.value_or(dernierT);
    if (std::isnan(debut) || std::isnan(fin))
        throw EAnalyseImpossible("Le début et la fin de l'intervalle doivent être des nombres.");
    if (debut > fin)
        throw EAnalyseImpossible("Le début de l'intervalle (" + Nombre(debut) + " s) doit précéder sa fin ("
                                 + Nombre(fin) + " s).");
    if (debut > dernierT || fin < premierT)
        throw EAnalyseImpossible("L'intervalle de " + Nombre(debut) + " à " + Nombre(fin)
                                 + " s est en dehors des mesures, qui vont de " + Nombre(premierT) + " à "
                                 + Nombre(dernierT) + " s.");
    Intervalle& intervalle = v.intervalle;
    intervalle.premier = 0;
    while (retenus[intervalle.premier].t < debut)
        ++intervalle.premier;
    intervalle.dernier = retenus.size() - 1;
    while (retenus[intervalle.dernier].t > fin)
        --intervalle.dernier;
    if (intervalle.dernier < intervalle.premier || intervalle.Taille() < kPointsMin) {
        const std::size_t n = intervalle.dernier < intervalle.premier ? 0 : intervalle.Taille();
        throw EAnalyseImpossible("L'intervalle de " + Nombre(debut) + " à " + Nombre(fin) + " s ne contient que "
                                 + std::to_string(n) + " point(s) de mesure ; il en faut au moins "
                                 + std::to_string(kPointsMin) + ".");
    }
    bool constante = true;
    for (std::size_t i = intervalle.premier + 1; i <= intervalle.dernier && constante; ++i)
        constante = retenus[i].p == retenus[intervalle.premier].p;
    if (constante)
        throw EAnalyseImpossible("La pression est constante sur l'intervalle : aucune courbe ne peut y être ajustée.");
    return v;
}

// The indices of the points of `retenus` within the result's interval.
Intervalle IntervalleDuResultat(const std::vector<Point>& retenus, const Resultat& resultat)
{
    Intervalle intervalle{0, retenus.size() - 1};
    while (intervalle.premier < intervalle.dernier && retenus[intervalle.premier].t < resultat.debut)
        ++intervalle.premier;
    while (intervalle.dernier > intervalle.premier && retenus[intervalle.dernier].t > resultat.fin)
        --intervalle.dernier;
    return intervalle;
}

struct Colonnes {
    std::vector<double> t, p;
};

Colonnes Extraire(std::span<const Point> points, std::size_t premier, std::size_t dernier)
{
    Colonnes c;
    c.t.reserve(dernier - premier + 1);
    c.p.reserve(dernier - premier + 1);
    for (std::size_t i = premier; i <= dernier; ++i) {
        c.t.push_back(points[i].t);
        c.p.push_back(points[i].p);
    }
    return c;
}

// The sum of squares of the least-squares straight line through the points,
// held at `origine` when given.
double SommeCarresDroite(const Colonnes& c, std::optional<Point> origine)
{
    const double n = static_cast<double>(c.t.size());
    double mt = 0, mp = 0;
    if (origine) {
        mt = origine->t;
        mp = origine->p;
    } else {
        for (std::size_t i = 0; i < c.t.size(); ++i) {
            mt += c.t[i] / n;
            mp += c.p[i] / n;
        }
    }
    double stt = 0, stp = 0, spp = 0;
    for (std::size_t i = 0; i < c.t.size(); ++i) {
        stt += (c.t[i] - mt) * (c.t[i] - mt);
        stp += (c.t[i] - mt) * (c.p[i] - mp);
        spp += (c.p[i] - mp) * (c.p[i] - mp);
    }
    return stt > 0 ? std::max(0.0, spp - stp * stp / stt) : spp;
}

void Ajouter(Resultat& r, DetailRemarque remarque)
{
    r.remarques.push_back(remarque.genre);
    r.details.push_back(std::move(remarque));
}

void Ajouter(Resultat& r, Remarque genre)
{
    Ajouter(r, DetailRemarque{.genre = genre});
}

// The remarks on the fit: too few points, no reaction, no curvature, too
// little of the curve (then nothing of k is given), plateau, the verdict on
// the model.
void RemarquesAjustement(Resultat& r, const AjustementExponentiel& a, double ssrDroite, bool aberrant,
                         bool horsCourbe)
{
    const ModelePremierOrdre& m = r.modele;
    const int degres = r.points - a.parametres;
    if (degres < kDegresLiberteMin) {
        r.determine = false;
        Ajouter(r, DetailRemarque{.genre = Remarque::TropPeuDePoints, .nombre = r.points,
                                  .requis = kDegresLiberteMin + a.parametres});
        return;
    }
    const double variation = std::abs(m.Pression(r.fin) - m.Pression(r.debut));
    if (!(variation > kBruitsAucuneReaction * r.ecartTypeResidus)) {
        r.determine = false;
        Ajouter(r, Remarque::AucuneReaction);
        return;
    }
    // The curve covered, for the smallest k the data allow (2 u below the
    // fit's: a short noisy run overestimates k, and its coverage with it).
    const double couverture = (m.k - kIncertitudesCouverture * a.uK) * (r.fin - m.ta);
    // The curvature seen: how much the exponential lowers the straight
    // line's sum of squares, against the residual variance (an F statistic
    // for its one more parameter).
    const double courbure = (ssrDroite - a.ssr) / (a.ssr / degres);
    if (a.borne || !std::isfinite(a.uK) || !(a.uK < a.k) || (!a.borne && !(courbure > kCourbureMin))) {
        r.determine = false;
        DetailRemarque d{.genre = Remarque::AucuneCourbure};
        d.baisse = !(m.Pression(r.fin) > m.Pression(r.debut));
        d.palierImmediat = a.borne && m.k * (r.fin - r.debut) > 1;
        Ajouter(r, std::move(d));
    } else if (couverture < kCouvertureMin) {
        r.determine = false;
        Ajouter(r, DetailRemarque{.genre = Remarque::CourbeTropCourte, .fraction = couverture});
    } else if (-std::expm1(-m.k * (r.fin - m.ta)) < kFractionPalier) {
        Ajouter(r, Remarque::PlateauNonAtteint);
    }
    // A wild point explains a structure of the residuals better than the
    // model; small structured residuals get a graded verdict.
    const double ecart = r.ecartTypeResidus / variation;
    const bool structure = ScoreDesSuites(a.residus) < kScoreSuitesMax && ecart > kFractionEcartsVisibles;
    if (horsCourbe || (!aberrant && structure && ecart > kFractionModeleProche))
        Ajouter(r, Remarque::OrdreUnNonAjuste);
    else if (!aberrant && structure)
        Ajouter(r, DetailRemarque{.genre = Remarque::OrdreUnApproche, .fraction = ecart});
}

} // namespace

double ModelePremierOrdre::Pression(double t) const
{
    return pInf - (pInf - pa) * std::exp(-k * (t - ta));
}

bool PressionsRelatives(std::span<const Point> points, const Lecture& lecture)
{
    if (lecture.relative)
        return true;
    std::size_t nonPositives = 0;
    for (const Point& q : points)
        if (!(q.p > 0))
            ++nonPositives;
    if (nonPositives == 0)
        return false;
    // A gauge sensor or an extent: exactly 0 first, then the curve moving
    // away from it.
    if (points.size() >= 3 && points[0].p == 0) {
        double haut = points[1].p, bas = points[1].p;
        for (const Point& q : points.subspan(1)) {
            haut = std::max(haut, q.p);
            bas = std::min(bas, q.p);
        }
        if (std::abs(points[1].p) < (haut - bas) / 2)
            return true;
    }
    // Values spanning 0: many of them, and as near the positive ones as
    // those are to each other (a logger's codes lie far below absolute
    // pressures).
    double hautPositif = 0, basPositif = std::numeric_limits<double>::infinity();
    double hautNonPositif = -std::numeric_limits<double>::infinity();
    for (const Point& q : points)
        if (q.p > 0) {
            hautPositif = std::max(hautPositif, q.p);
            basPositif = std::min(basPositif, q.p);
        } else {
            hautNonPositif = std::max(hautNonPositif, q.p);
        }
    return static_cast<double>(nonPositives) >= kFractionNonPositives * static_cast<double>(points.size())
           && basPositif - hautNonPositif < hautPositif - basPositif;
}

std::vector<Point> PointsRetenus(std::span<const Point> points, const Options& options)
{
    std::vector<bool> exclu(points.size(), false);
    for (const double t : options.exclus) {
        const auto suivant = std::lower_bound(points.begin(), points.end(), t,
                                              [](const Point& a, double b) { return a.t < b; });
        std::size_t i = static_cast<std::size_t>(suivant - points.begin());
        if (i == points.size() || (i > 0 && t - points[i - 1].t < points[i].t - t))
            --i;
        if (points.size() < 2 || i >= points.size())
            continue;
        // Half the gap to the point's nearest neighbour.
        double ecart = std::numeric_limits<double>::infinity();
        if (i > 0)
            ecart = points[i].t - points[i - 1].t;
        if (i + 1 < points.size())
            ecart = std::min(ecart, points[i + 1].t - points[i].t);
        if (std::abs(points[i].t - t) <= ecart / 2)
            exclu[i] = true;
    }
    const bool relatives = PressionsRelatives(points, options.lecture);
    std::vector<Point> retenus;
    retenus.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!EstCodeErreur(points[i], i, relatives, options) && !exclu[i])
            retenus.push_back(points[i]);
    return retenus;
}

Resultat Analyser(std::span<const Point> points, const Options& options)
{
    const Verification verification = Verifier(points, options);
    const std::vector<Point>& retenus = verification.retenus;
    Intervalle intervalle = verification.intervalle;
    const std::optional<Conditions> conditions = LireConditions(options);
    const Point origine = retenus.front();
    Resultat r;

    // What the reading says.
    const Lecture& lecture = options.lecture;
    if (!lecture.uniteConvertie.empty())
        Ajouter(r, DetailRemarque{.genre = Remarque::UniteConvertie, .unite = lecture.uniteConvertie});
    if (!lecture.uniteTemps.empty())
        Ajouter(r, DetailRemarque{.genre = Remarque::TempsConvertis, .unite = lecture.uniteTemps});
    if (lecture.sansUnite) {
        bool hpa = true;
        for (const Point& q : retenus)
            hpa = hpa && q.p >= kPressionHpaMin && q.p <= kPressionHpaMax;
        if (hpa)
            Ajouter(r, Remarque::UniteDouteuse);
    }
    if (verification.nonPressions > 0) {
        const std::size_t i = verification.premierNonPression;
        const int ligne = i < lecture.lignes.size() ? lecture.lignes[i] : static_cast<int>(i) + 1;
        Ajouter(r, DetailRemarque{.genre = Remarque::PressionsEcartees, .nombre = verification.nonPressions,
                                  .ligne = ligne});
    }
    if (retenus.size() + static_cast<std::size_t>(verification.nonPressions) < points.size()) {
        const std::vector<Point> sansExclus = PointsRetenus(points, Options{});
        for (const Point& q : sansExclus)
            if (!std::binary_search(retenus.begin(), retenus.end(), q,
                                    [](const Point& a, const Point& b) { return a.t < b.t; }))
                r.exclus.push_back(q.t);
        Ajouter(r, DetailRemarque{.genre = Remarque::PointsExclus, .temps = r.exclus});
    }

    // The noise the data can show at least: their rounding, or the doubles'.
    Colonnes c = Extraire(retenus, intervalle.premier, intervalle.dernier);
    double pMax = 0;
    for (const double p : c.p)
        pMax = std::max(pMax, std::abs(p));
    const std::optional<double> pas = PasArrondi(c.p);
    const double plancherEcart = std::max(pas.value_or(0), kBruitRelatifMin * pMax);
    const double plancherBruit = std::max(pas.value_or(0) / std::sqrt(12.0), kBruitRelatifMin * pMax);

    // A sudden step ends the interval before it; several drops (vents) are
    // named together. Then a maximum followed by a decline ends it at the
    // maximum. Both said after the start, in the order of the run.
    std::optional<DetailRemarque> rupture, maximum;
    if (!options.fin) {
        const std::vector<Rupture> sauts = ChercherRuptures(c.p, plancherEcart, kPointsMin);
        if (!sauts.empty()) {
            const Rupture& premier = sauts.front();
            const auto chutes = std::count_if(sauts.begin(), sauts.end(), [](const Rupture& s) { return s.saut < 0; });
            rupture = DetailRemarque{.genre = premier.saut < 0 && chutes > 1 ? Remarque::ChutesRepetees
                                                                             : Remarque::Rupture,
                                     .t = c.t[premier.indice + 1], .nombre = static_cast<int>(chutes),
                                     .baisse = premier.saut < 0};
            if (rupture->genre == Remarque::Rupture)
                rupture->nombre = 0;
            intervalle.dernier = intervalle.premier + premier.indice;
            c = Extraire(retenus, intervalle.premier, intervalle.dernier);
        }
        std::vector<double> ecarts(c.p.size() > 1 ? c.p.size() - 1 : 0);
        for (std::size_t i = 0; i < ecarts.size(); ++i)
            ecarts[i] = c.p[i + 1] - c.p[i];
        const double bruitLectures = std::max(EchelleRobuste(ecarts) / std::sqrt(2.0), plancherBruit);
        if (const std::optional<std::size_t> sommet = ChercherMaximum(c.p, bruitLectures, kPointsMin)) {
            maximum = DetailRemarque{.genre = Remarque::Maximum, .t = c.t[*sommet]};
            intervalle.dernier = intervalle.premier + *sommet;
            c = Extraire(retenus, intervalle.premier, intervalle.dernier);
        }
    }

    // The fixed start is not a measurement the fit adjusts.
    if (options.origineFixee && intervalle.premier == 0)
        c = Extraire(retenus, 1, intervalle.dernier);
    auto ajuster = [&] {
        return options.origineFixee ? AjusterExponentielleOrigineFixee(c.t, c.p, origine.t, origine.p)
                                    : AjusterExponentielle(c.t, c.p);
    };
    AjustementExponentiel a = ajuster();

    // A baseline before the reaction: the residuals of the plain fit are
    // structured, and the model with a start explains them far better.
    if (!options.debut && !options.origineFixee && std::isfinite(a.ssr)
        && ScoreDesSuites(a.residus) < kScoreSuitesMax)
        if (const std::optional<std::size_t> j = ChercherDebut(c.t, c.p, a.ssr, plancherBruit)) {
            intervalle.premier += *j;
            c = Extraire(retenus, intervalle.premier, intervalle.dernier);
            a = ajuster();
            Ajouter(r, DetailRemarque{.genre = Remarque::DebutDetecte, .t = c.t.front()});
        }
    if (maximum)
        Ajouter(r, std::move(*maximum));
    if (rupture)
        Ajouter(r, std::move(*rupture));

    // Values at the edge of the double range can overflow the sums of
    // squares: no fit then, rather than a result of NaN.
    if (!std::isfinite(a.k) || !std::isfinite(a.y0) || !std::isfinite(a.yInf) || !std::isfinite(a.ssr))
        throw EAnalyseImpossible("Le modèle d'ordre 1 ne peut pas être ajusté à ces mesures : "
                                 "leurs valeurs sont hors des limites du calcul.");
    r.points = static_cast<int>(c.t.size());
    r.debut = retenus[intervalle.premier].t;
    r.fin = c.t.back();
    r.modele = {options.origineFixee ? origine.t : c.t.front(), a.y0, a.yInf, a.k};
    r.k = a.k;
    r.uK = a.uK;
    r.tDemi = std::log(2.0) / a.k;
    r.uTDemi = r.tDemi * a.uK / a.k;
    r.pInf = a.yInf;
    r.uPInf = a.uYInf;
    r.pa = a.y0;
    r.uPa = a.uY0;
    r.p0 = origine.p;

    double moyenne = 0;
    for (double p : c.p)
        moyenne += p;
    moyenne /= static_cast<double>(c.p.size());
    double totale = 0;
    for (double p : c.p)
        totale += (p - moyenne) * (p - moyenne);
    r.r2 = 1 - a.ssr / totale;
    r.ecartTypeResidus = std::sqrt(a.ssr / static_cast<double>(c.t.size() - static_cast<std::size_t>(a.parametres)));
    if (conditions) {
        // x_f = (pInf - p0)·V/(R·T): p0 is a measured point, with the noise s.
        const double molesParPascal = conditions->volume / (Constantes::kConstanteGazEssai * conditions->temperature);
        r.xFinal = (r.pInf - r.p0) * molesParPascal;
        r.uXFinal = std::hypot(r.uPInf, r.ecartTypeResidus) * molesParPascal;
    }

    // The graphical half-time from ta: the run's first point with a fixed
    // start, else the interval's.
    if (options.origineFixee) {
        const Colonnes depuisTa = Extraire(retenus, 0, intervalle.dernier);
        r.tDemiGraphique = DemiReactionGraphique(depuisTa.t, depuisTa.p, r.pInf);
    } else {
        r.tDemiGraphique = DemiReactionGraphique(c.t, c.p, r.pInf);
    }

    // Points far off the curve, against a robust scale of the residuals: a
    // wild point when its neighbours sit on the curve, else a run of points
    // the model misses.
    const double bruit = std::max(EchelleRobuste(a.residus), plancherBruit);
    std::vector<std::size_t> aberrants;
    bool horsCourbe = false;
    for (std::size_t i = 0; i < a.residus.size(); ++i) {
        const double ecart = std::abs(a.residus[i]);
        if (!(ecart > kBruitsAberrant * bruit))
            continue;
        const double seuilVoisin = std::max(kBruitsVoisinHorsCourbe * bruit, kFractionVoisinHorsCourbe * ecart);
        const bool suite = (i > 0 && std::abs(a.residus[i - 1]) > seuilVoisin)
                        || (i + 1 < a.residus.size() && std::abs(a.residus[i + 1]) > seuilVoisin);
        if (suite)
            horsCourbe = true;
        else
            aberrants.push_back(i);
    }
    std::sort(aberrants.begin(), aberrants.end(),
              [&](std::size_t x, std::size_t y) { return std::abs(a.residus[x]) > std::abs(a.residus[y]); });
    if (aberrants.size() > kAberrantsNommes)
        aberrants.resize(kAberrantsNommes);
    std::sort(aberrants.begin(), aberrants.end());

    RemarquesAjustement(r, a, SommeCarresDroite(c, options.origineFixee ? std::optional(origine) : std::nullopt),
                        !aberrants.empty(), horsCourbe);
    for (const std::size_t i : aberrants)
        Ajouter(r, DetailRemarque{.genre = Remarque::PointAberrant, .t = c.t[i], .pression = std::abs(a.residus[i]),
                                  .bruits = std::abs(a.residus[i]) / bruit});
    if (pas && r.ecartTypeResidus <= *pas)
        Ajouter(r, DetailRemarque{.genre = Remarque::PressionsArrondies, .pression = *pas});

    if (!r.determine) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        r.k = r.uK = r.tDemi = r.uTDemi = r.pInf = r.uPInf = nan;
        r.tDemiGraphique.reset();
        r.xFinal.reset();
        r.uXFinal.reset();
    }
    return r;
}

std::vector<PointVitesse> VitesseVolumique(std::span<const Point> points, const Options& options,
                                           const Resultat& resultat, int fenetre)
{
    const std::vector<Point> retenus = Verifier(points, options).retenus;
    const Intervalle intervalle = IntervalleDuResultat(retenus, resultat);
    const std::optional<Conditions> conditions = LireConditions(options);
    if (!conditions)
        throw EAnalyseImpossible("La vitesse volumique demande le volume et la température du mélange.");
    if (fenetre != 0 && (fenetre < kFenetreMinimale || fenetre % 2 == 0))
        throw EAnalyseImpossible("La fenêtre de dérivation doit compter un nombre impair de points, au moins "
                                 + std::to_string(kFenetreMinimale) + ".");
    const Colonnes c = Extraire(retenus, intervalle.premier, intervalle.dernier);
    const int n = static_cast<int>(c.t.size());
    if (fenetre == 0)
        fenetre = FenetreParDefaut(n);
    fenetre = std::min(fenetre, n % 2 == 1 ? n : n - 1);

    // v = (1/V)·dx/dt with x = (p - p0)·V/(R·T): V in m³ for x, in L for v.
    const double molesParPascal = conditions->volume / (Constantes::kConstanteGazEssai * conditions->temperature);
    std::vector<double> x(c.p.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = (c.p[i] - retenus.front().p) * molesParPascal;
    const std::vector<double> derivee = DeriveeSavitzkyGolay(c.t, x, fenetre);
    const ModelePremierOrdre& m = resultat.modele;
    std::vector<PointVitesse> vitesses(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double dpdt = m.k * (m.pInf - m.pa) * std::exp(-m.k * (c.t[i] - m.ta));
        vitesses[i] = {c.t[i], derivee[i] / conditions->litres, dpdt * molesParPascal / conditions->litres};
    }
    return vitesses;
}

TestOrdreUn TestLineaire(std::span<const Point> points, const Options& options, const Resultat& resultat)
{
    const std::vector<Point> retenus = Verifier(points, options).retenus;
    const Intervalle intervalle = IntervalleDuResultat(retenus, resultat);
    const ModelePremierOrdre& m = resultat.modele;
    TestOrdreUn test;
    for (std::size_t i = intervalle.premier; i <= intervalle.dernier; ++i) {
        // The fraction of the way still to go, (pInf - p)/(pInf - pa), must
        // be positive for its logarithm.
        const double reste = (m.pInf - retenus[i].p) / (m.pInf - m.pa);
        if (reste > 0 && std::isfinite(reste))
            test.points.push_back({retenus[i].t - m.ta, -std::log(reste)});
        else
            ++test.ecartes;
    }
    double stt = 0, sty = 0, moyenne = 0;
    for (const Point& q : test.points) {
        stt += q.t * q.t;
        sty += q.t * q.p;
        moyenne += q.p;
    }
    if (test.points.empty() || stt == 0)
        return test;
    test.pente = sty / stt;
    moyenne /= static_cast<double>(test.points.size());
    double residuelle = 0, totale = 0;
    for (const Point& q : test.points) {
        residuelle += (q.p - test.pente * q.t) * (q.p - test.pente * q.t);
        totale += (q.p - moyenne) * (q.p - moyenne);
    }
    test.r2 = totale > 0 ? 1 - residuelle / totale : 0;
    return test;
}

} // namespace Cinetique
