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
// A file without unit whose pressures all lie in this range is probably in
// hPa or mbar.
constexpr double kPressionHpaMin = 500, kPressionHpaMax = 2000;

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

// The run's points, checked; those the analysis keeps, and the indices
// [premier, dernier] of the interval's among them.
struct Intervalle {
    std::size_t premier = 0, dernier = 0;
    std::size_t Taille() const { return dernier - premier + 1; }
};

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
    for (std::size_t i = points.size(); i-- > 0;)
        if (!(points[i].p > 0)) {
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

// A number for a remark: `chiffres` significant digits, the thousands
// grouped by spaces ("10 000").
std::string NombreGroupe(double valeur, int chiffres)
{
    if (!std::isfinite(valeur) || valeur == 0)
        return FormatGeneral(valeur, chiffres);
    const int exposant = static_cast<int>(std::floor(std::log10(std::abs(valeur))));
    const int decimales = std::max(0, chiffres - 1 - exposant);
    const double pas = std::pow(10.0, exposant - (chiffres - 1));
    char tampon[400];
    std::snprintf(tampon, sizeof tampon, "%.*f", decimales, std::round(valeur / pas) * pas);
    std::string texte(tampon);
    std::size_t fin = texte.find('.');
    if (fin != std::string::npos)
        texte[fin] = DecimalSeparator();
    else
        fin = texte.size();
    const std::size_t signe = texte[0] == '-' ? 1 : 0;
    for (std::size_t i = fin; i > signe + 3; i -= 3)
        texte.insert(i - 3, " ");
    return texte;
}

void Ajouter(Resultat& r, Remarque remarque, std::string texte)
{
    r.remarques.push_back(remarque);
    r.textesRemarques.push_back(std::move(texte));
}

// The remarks on the fit: no reaction, no curvature (then nothing of k is
// given), plateau, misfit.
void RemarquesAjustement(Resultat& r, const AjustementExponentiel& a, bool aberrant)
{
    const ModelePremierOrdre& m = r.modele;
    const double variation = std::abs(m.Pression(r.fin) - m.Pression(r.debut));
    if (!(variation > kBruitsAucuneReaction * r.ecartTypeResidus)) {
        r.determine = false;
        Ajouter(r, Remarque::AucuneReaction, TexteRemarque(Remarque::AucuneReaction));
        return;
    }
    if (a.borne || !std::isfinite(a.uK) || !(a.uK < a.k)) {
        r.determine = false;
        const bool monte = m.Pression(r.fin) > m.Pression(r.debut);
        const bool palierImmediat = a.borne && m.k * (r.fin - r.debut) > 1;
        Ajouter(r, Remarque::AucuneCourbure,
                palierImmediat ? std::string("Aucune courbure visible : la pression atteint son palier dès le "
                                             "début de l'intervalle ; k et t½ ne peuvent pas être déterminés.")
                               : std::string("Aucune courbure visible : la pression ") + (monte ? "croît" : "décroît")
                                     + " en ligne droite sur l'intervalle : réaction trop lente pour la durée "
                                       "mesurée, ou d'ordre 0 ; k et t½ ne peuvent pas être déterminés.");
    } else if (-std::expm1(-m.k * (r.fin - m.ta)) < kFractionPalier) {
        Ajouter(r, Remarque::PlateauNonAtteint, TexteRemarque(Remarque::PlateauNonAtteint));
    }
    // A wild point explains a structure of the residuals better than the model.
    if (!aberrant && ScoreDesSuites(a.residus) < kScoreSuitesMax
        && r.ecartTypeResidus > kFractionEcartsVisibles * variation)
        Ajouter(r, Remarque::OrdreUnNonAjuste, TexteRemarque(Remarque::OrdreUnNonAjuste));
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
        return "Aucune réaction n'est visible : la variation de pression reste dans le bruit de mesure ; "
               "k et t½ ne peuvent pas être déterminés.";
    case Remarque::OrdreUnNonAjuste:
        return "Le modèle d'ordre 1 ne convient pas : les écarts des points à la courbe ne sont pas dus au hasard.";
    // The others carry numbers: their sentences are in Resultat::textesRemarques.
    case Remarque::UniteConvertie:
        return "Pressions converties en Pa.";
    case Remarque::UniteDouteuse:
        return "Pressions de l'ordre de 1 000 : le fichier est-il en hPa ?";
    case Remarque::PressionsEcartees:
        return "Valeurs nulles ou négatives écartées.";
    case Remarque::PointsExclus:
        return "Points exclus à la demande.";
    case Remarque::DebutDetecte:
        return "Début de la réaction détecté.";
    case Remarque::Rupture:
        return "Rupture brutale de la pression.";
    case Remarque::AucuneCourbure:
        return "Aucune courbure visible : k et t½ ne peuvent pas être déterminés.";
    case Remarque::PointAberrant:
        return "Un point s'écarte de la courbe.";
    case Remarque::PressionsArrondies:
        return "Les pressions du fichier sont arrondies : les incertitudes sont sous-estimées.";
    }
    return {};
}

std::string TexteRemarques(const Resultat& r)
{
    std::string texte;
    for (const std::string& phrase : r.textesRemarques)
        texte += (texte.empty() ? "" : " ") + phrase;
    return texte;
}

std::string NombreResultat(double valeur)
{
    return std::isfinite(valeur) ? FormatGeneral(valeur, kChiffresResultats) : std::string();
}

std::string NombreResultat(const std::optional<double>& valeur)
{
    return valeur ? NombreResultat(*valeur) : std::string();
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
    std::vector<Point> retenus;
    retenus.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].p > 0 && !exclu[i])
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
        Ajouter(r, Remarque::UniteConvertie,
                "Pressions lues en " + lecture.uniteConvertie + " (en-tête de colonne) et converties en Pa.");
    if (lecture.sansUnite) {
        bool hpa = true;
        for (const Point& q : retenus)
            hpa = hpa && q.p >= kPressionHpaMin && q.p <= kPressionHpaMax;
        if (hpa)
            Ajouter(r, Remarque::UniteDouteuse, "Pressions de l'ordre de 1 000 : le fichier est-il en hPa ?");
    }
    if (verification.nonPressions > 0) {
        const std::size_t i = verification.premierNonPression;
        const int ligne = i < lecture.lignes.size() ? lecture.lignes[i] : static_cast<int>(i) + 1;
        const bool une = verification.nonPressions == 1;
        Ajouter(r, Remarque::PressionsEcartees,
                (une ? std::string("Une valeur nulle ou négative n'est pas une pression (code d'erreur de "
                                   "l'appareil ?) : elle est écartée (ligne ")
                     : std::to_string(verification.nonPressions)
                           + " valeurs nulles ou négatives ne sont pas des pressions (codes d'erreur de "
                             "l'appareil ?) : elles sont écartées (première à la ligne ")
                    + std::to_string(ligne) + ").");
    }
    if (retenus.size() + static_cast<std::size_t>(verification.nonPressions) < points.size()) {
        const std::vector<Point> sansExclus = PointsRetenus(points, Options{});
        std::string liste;
        for (const Point& q : sansExclus)
            if (!std::binary_search(retenus.begin(), retenus.end(), q,
                                    [](const Point& a, const Point& b) { return a.t < b.t; })) {
                r.exclus.push_back(q.t);
                liste += (liste.empty() ? "" : ", ") + Nombre(q.t) + " s";
            }
        Ajouter(r, Remarque::PointsExclus,
                std::string(r.exclus.size() == 1 ? "Point exclu" : "Points exclus") + " à la demande : t = " + liste
                    + ".");
    }

    // The noise the data can show at least: their rounding, or the doubles'.
    Colonnes c = Extraire(retenus, intervalle.premier, intervalle.dernier);
    double pMax = 0;
    for (const double p : c.p)
        pMax = std::max(pMax, std::abs(p));
    const std::optional<double> pas = PasArrondi(c.p);
    const double plancherEcart = std::max(pas.value_or(0), kBruitRelatifMin * pMax);
    const double plancherBruit = std::max(pas.value_or(0) / std::sqrt(12.0), kBruitRelatifMin * pMax);

    // A sudden step ends the interval before it (said after the start, in
    // the order of the run).
    std::optional<std::string> texteRupture;
    if (!options.fin)
        if (const std::optional<Rupture> rupture = ChercherRupture(c.p, plancherEcart, kPointsMin)) {
            const double t = c.t[rupture->indice + 1];
            intervalle.dernier = intervalle.premier + rupture->indice;
            c = Extraire(retenus, intervalle.premier, intervalle.dernier);
            texteRupture = rupture->saut < 0 ? "Chute brutale de la pression à t = " + Nombre(t)
                                                   + " s (flacon ouvert ou fuite ?) : l'analyse s'arrête avant."
                                             : "Saut brutal de la pression à t = " + Nombre(t)
                                                   + " s (bouchon enfoncé ou appareil perturbé ?) : l'analyse "
                                                     "s'arrête avant.";
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
            Ajouter(r, Remarque::DebutDetecte,
                    "Début de la réaction détecté à t = " + Nombre(c.t.front())
                        + " s : les points précédents (ligne de base) sont écartés.");
        }
    if (texteRupture)
        Ajouter(r, Remarque::Rupture, std::move(*texteRupture));

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

    // Points far off the curve, against a robust scale of the residuals.
    const double bruit = std::max(EchelleRobuste(a.residus), plancherBruit);
    std::vector<std::size_t> aberrants;
    for (std::size_t i = 0; i < a.residus.size(); ++i)
        if (std::abs(a.residus[i]) > kBruitsAberrant * bruit)
            aberrants.push_back(i);
    std::sort(aberrants.begin(), aberrants.end(),
              [&](std::size_t x, std::size_t y) { return std::abs(a.residus[x]) > std::abs(a.residus[y]); });
    if (aberrants.size() > kAberrantsNommes)
        aberrants.resize(kAberrantsNommes);
    std::sort(aberrants.begin(), aberrants.end());

    RemarquesAjustement(r, a, !aberrants.empty());
    for (const std::size_t i : aberrants)
        Ajouter(r, Remarque::PointAberrant,
                "Le point à t = " + Nombre(c.t[i]) + " s s'écarte de la courbe de "
                    + NombreGroupe(std::abs(a.residus[i]), 2) + " Pa ("
                    + NombreGroupe(std::abs(a.residus[i]) / bruit, 2) + " fois le bruit) : vérifiez-le ou excluez-le.");
    if (pas && r.ecartTypeResidus <= *pas)
        Ajouter(r, Remarque::PressionsArrondies,
                "Les pressions du fichier sont arrondies (pas de " + NombreGroupe(*pas, 1)
                    + " Pa) : les incertitudes sont sous-estimées ; analysez plutôt le journal de l'essai, en "
                      "pleine précision.");

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
