#include "kinetics/AnalyseCinetique.h"

#include "kinetics/AjustementExponentiel.h"
#include "kinetics/ConditionsMesure.h"
#include "kinetics/DemiReactionGraphique.h"
#include "kinetics/DeriveeSavitzkyGolay.h"
#include "kinetics/TestDesSuites.h"
#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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

std::string Nombre(double valeur)
{
    return FormatGeneral(valeur, kPrecisionMessage);
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

// The run's points, checked, and the indices [premier, dernier] of the
// interval's.
struct Intervalle {
    std::size_t premier = 0, dernier = 0;
    std::size_t Taille() const { return dernier - premier + 1; }
};

Intervalle Verifier(std::span<const Point> points, const Options& options)
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
    if (points.size() < kPointsMin)
        throw EAnalyseImpossible("Il faut au moins " + std::to_string(kPointsMin)
                                 + " points de mesure pour l'analyse ; il y en a " + std::to_string(points.size())
                                 + ".");

    const double premierT = points.front().t, dernierT = points.back().t;
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
    Intervalle intervalle;
    intervalle.premier = 0;
    while (points[intervalle.premier].t < debut)
        ++intervalle.premier;
    intervalle.dernier = points.size() - 1;
    while (points[intervalle.dernier].t > fin)
        --intervalle.dernier;
    if (intervalle.dernier < intervalle.premier || intervalle.Taille() < kPointsMin) {
        const std::size_t n = intervalle.dernier < intervalle.premier ? 0 : intervalle.Taille();
        throw EAnalyseImpossible("L'intervalle de " + Nombre(debut) + " à " + Nombre(fin) + " s ne contient que "
                                 + std::to_string(n) + " point(s) de mesure ; il en faut au moins "
                                 + std::to_string(kPointsMin) + ".");
    }
    bool constante = true;
    for (std::size_t i = intervalle.premier + 1; i <= intervalle.dernier && constante; ++i)
        constante = points[i].p == points[intervalle.premier].p;
    if (constante)
        throw EAnalyseImpossible("La pression est constante sur l'intervalle : aucune courbe ne peut y être ajustée.");
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

std::vector<Remarque> Remarques(const Resultat& r, std::span<const double> residus)
{
    const ModelePremierOrdre& m = r.modele;
    const double variation = std::abs(m.Pression(r.fin) - m.Pression(r.debut));
    if (!(variation > kBruitsAucuneReaction * r.ecartTypeResidus))
        return {Remarque::AucuneReaction};
    std::vector<Remarque> remarques;
    if (-std::expm1(-m.k * (r.fin - m.ta)) < kFractionPalier)
        remarques.push_back(Remarque::PlateauNonAtteint);
    if (ScoreDesSuites(residus) < kScoreSuitesMax && r.ecartTypeResidus > kFractionEcartsVisibles * variation)
        remarques.push_back(Remarque::OrdreUnNonAjuste);
    return remarques;
}

} // namespace

double ModelePremierOrdre::Pression(double t) const
{
    return pInf - (pInf - pa) * std::exp(-k * (t - ta));
}

std::string TexteRemarque(Remarque remarque)
{
    switch (remarque) {
    case Remarque::PlateauNonAtteint:
        return "Le palier n'est pas atteint : la valeur finale est extrapolée par le modèle.";
    case Remarque::AucuneReaction:
        return "Aucune réaction n'est visible : la variation de pression reste dans le bruit de mesure.";
    case Remarque::OrdreUnNonAjuste:
        return "Le modèle d'ordre 1 ne convient pas : les écarts des points à la courbe ne sont pas dus au hasard.";
    }
    return {};
}

Resultat Analyser(std::span<const Point> points, const Options& options)
{
    const Intervalle intervalle = Verifier(points, options);
    const std::optional<Conditions> conditions = LireConditions(options);
    const Colonnes c = Extraire(points, intervalle.premier, intervalle.dernier);
    const Point origine = points.front();

    const AjustementExponentiel a = options.origineFixee
                                        ? AjusterExponentielleOrigineFixee(c.t, c.p, origine.t, origine.p)
                                        : AjusterExponentielle(c.t, c.p);
    // Values at the edge of the double range can overflow the sums of
    // squares: no fit then, rather than a result of NaN.
    if (!std::isfinite(a.k) || !std::isfinite(a.y0) || !std::isfinite(a.yInf) || !std::isfinite(a.ssr))
        throw EAnalyseImpossible("Le modèle d'ordre 1 ne peut pas être ajusté à ces mesures : "
                                 "leurs valeurs sont hors des limites du calcul.");
    Resultat r;
    r.points = static_cast<int>(c.t.size());
    r.debut = c.t.front();
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
    if (conditions) {
        const double molesParPascal = conditions->volume / (ConditionsMesure::kConstanteGaz * conditions->temperature);
        r.xFinal = (r.pInf - r.p0) * molesParPascal;
        r.uXFinal = r.uPInf * molesParPascal;
    }

    double moyenne = 0;
    for (double p : c.p)
        moyenne += p;
    moyenne /= static_cast<double>(c.p.size());
    double totale = 0;
    for (double p : c.p)
        totale += (p - moyenne) * (p - moyenne);
    r.r2 = 1 - a.ssr / totale;
    r.ecartTypeResidus = std::sqrt(a.ssr / static_cast<double>(c.t.size() - static_cast<std::size_t>(a.parametres)));

    // The graphical half-time from ta: the run's first point with a fixed
    // start, else the interval's.
    if (options.origineFixee) {
        const Colonnes depuisTa = Extraire(points, 0, intervalle.dernier);
        r.tDemiGraphique = DemiReactionGraphique(depuisTa.t, depuisTa.p, r.pInf);
    } else {
        r.tDemiGraphique = DemiReactionGraphique(c.t, c.p, r.pInf);
    }
    r.remarques = Remarques(r, a.residus);
    return r;
}

std::vector<PointVitesse> VitesseVolumique(std::span<const Point> points, const Options& options,
                                           const Resultat& resultat, int fenetre)
{
    const Intervalle intervalle = Verifier(points, options);
    const std::optional<Conditions> conditions = LireConditions(options);
    if (!conditions)
        throw EAnalyseImpossible("La vitesse volumique demande le volume et la température du mélange.");
    if (fenetre != 0 && (fenetre < kFenetreMinimale || fenetre % 2 == 0))
        throw EAnalyseImpossible("La fenêtre de dérivation doit compter un nombre impair de points, au moins "
                                 + std::to_string(kFenetreMinimale) + ".");
    const Colonnes c = Extraire(points, intervalle.premier, intervalle.dernier);
    const int n = static_cast<int>(c.t.size());
    if (fenetre == 0)
        fenetre = FenetreParDefaut(n);
    fenetre = std::min(fenetre, n % 2 == 1 ? n : n - 1);

    // v = (1/V)·dx/dt with x = (p - p0)·V/(R·T): V in m³ for x, in L for v.
    const double molesParPascal = conditions->volume / (ConditionsMesure::kConstanteGaz * conditions->temperature);
    std::vector<double> x(c.p.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = (c.p[i] - points.front().p) * molesParPascal;
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
    const Intervalle intervalle = Verifier(points, options);
    const ModelePremierOrdre& m = resultat.modele;
    TestOrdreUn test;
    for (std::size_t i = intervalle.premier; i <= intervalle.dernier; ++i) {
        // The fraction of the way still to go, (pInf - p)/(pInf - pa), must
        // be positive for its logarithm.
        const double reste = (m.pInf - points[i].p) / (m.pInf - m.pa);
        if (reste > 0 && std::isfinite(reste))
            test.points.push_back({points[i].t - m.ta, -std::log(reste)});
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
