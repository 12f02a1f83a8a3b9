#include "analyse/TexteResultat.h"

#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Cinetique {

namespace {

// Significant digits of the times a remark names (at least the whole seconds).
constexpr int kChiffresTemps = 6;

// A number for a remark: `chiffres` significant digits (all the whole part's
// with `entier`), the thousands grouped by spaces ("10 000"), never in
// exponent notation; without the decimals' trailing zeros with `court`.
std::string NombreGroupe(double valeur, int chiffres, char separateur, bool entier = false, bool court = false)
{
    if (!std::isfinite(valeur) || valeur == 0)
        return FormatGeneral(valeur, chiffres, separateur);
    const int exposant = static_cast<int>(std::floor(std::log10(std::abs(valeur))));
    const int decimales = std::max(0, chiffres - 1 - exposant);
    char tampon[400];
    if (entier && decimales == 0) {
        std::snprintf(tampon, sizeof tampon, "%.0f", valeur);
    } else {
        const double pas = std::pow(10.0, exposant - (chiffres - 1));
        std::snprintf(tampon, sizeof tampon, "%.*f", decimales, std::round(valeur / pas) * pas);
    }
    std::string texte(tampon);
    if (court && texte.find('.') != std::string::npos) {
        texte.erase(texte.find_last_not_of('0') + 1);
        if (texte.back() == '.')
            texte.pop_back();
    }
    std::size_t fin = texte.find('.');
    if (fin != std::string::npos)
        texte[fin] = separateur;
    else
        fin = texte.size();
    const std::size_t signe = texte[0] == '-' ? 1 : 0;
    for (std::size_t i = fin; i > signe + 3; i -= 3)
        texte.insert(i - 3, " ");
    return texte;
}

// A date in a remark: "12,5", "1 095", "1 071 360".
std::string Temps(double t, char separateur)
{
    return NombreGroupe(t, kChiffresTemps, separateur, true, true);
}

// A fraction in per cent with one decimal: "0,7".
std::string Pourcent(double fraction, char separateur)
{
    char tampon[64];
    std::snprintf(tampon, sizeof tampon, "%.1f", 100 * fraction);
    std::string texte(tampon);
    std::replace(texte.begin(), texte.end(), '.', separateur);
    return texte;
}

} // namespace

std::string NombreResultat(double valeur, char separateur)
{
    return std::isfinite(valeur) ? FormatGeneral(valeur, kChiffresResultats, separateur) : std::string();
}

std::string NombreResultat(const std::optional<double>& valeur, char separateur)
{
    return valeur ? NombreResultat(*valeur, separateur) : std::string();
}

std::string TexteRemarque(const DetailRemarque& d, char separateur)
{
    switch (d.genre) {
    case Remarque::PlateauNonAtteint:
        return "Le palier n'est pas atteint : la valeur finale est extrapolée par le modèle.";
    case Remarque::AucuneReaction:
        return "Aucune réaction n'est visible : la variation de pression reste dans le bruit de mesure ; "
               "k et t½ ne peuvent pas être déterminés.";
    case Remarque::OrdreUnApproche:
        return "Le modèle d'ordre 1 décrit la courbe à " + Pourcent(d.fraction, separateur)
               + " % près de l'amplitude ; les écarts restants ne sont pas dus au hasard.";
    case Remarque::TropPeuDePoints:
        return "Trop peu de points (" + std::to_string(d.nombre) + ") pour déterminer k : il en faut au moins "
               + std::to_string(d.requis) + " ; k et t½ ne sont pas déterminés.";
    case Remarque::CourbeTropCourte:
        return "La mesure couvre moins de " + NombreGroupe(100 * kCouvertureMin, 2, separateur, true, true)
               + " % du temps caractéristique 1/k (k × durée = " + NombreGroupe(d.fraction, 2, separateur)
               + ") : la courbure est trop faible pour déterminer k et t½.";
    case Remarque::ChutesRepetees:
        return "La pression chute brutalement " + std::to_string(d.nombre) + " fois (première à t = "
               + Temps(d.t, separateur)
               + " s ; soupape ou fuite ?) : l'analyse ne porte que sur la montée avant la première chute.";
    case Remarque::Maximum:
        return "La pression passe par un maximum à t = " + Temps(d.t, separateur)
               + " s puis diminue (gaz consommé ou fuite ?) : l'analyse s'arrête au maximum.";
    case Remarque::TempsConvertis:
        return "Dates lues en " + d.unite + " (en-tête de colonne) et converties en s.";
    case Remarque::OrdreUnNonAjuste:
        return "Le modèle d'ordre 1 ne convient pas : les écarts des points à la courbe ne sont pas dus au hasard.";
    case Remarque::UniteConvertie:
        return "Pressions lues en " + d.unite + " (en-tête de colonne) et converties en Pa.";
    case Remarque::UniteDouteuse:
        return "Pressions de l'ordre de 1 000 : le fichier est-il en hPa ?";
    case Remarque::PressionsEcartees:
        return (d.nombre == 1 ? std::string("Une valeur nulle ou négative n'est pas une pression (code d'erreur de "
                                            "l'appareil ?) : elle est écartée (ligne ")
                              : std::to_string(d.nombre)
                                    + " valeurs nulles ou négatives ne sont pas des pressions (codes d'erreur de "
                                      "l'appareil ?) : elles sont écartées (première à la ligne ")
               + std::to_string(d.ligne) + ").";
    case Remarque::PointsExclus: {
        std::string liste;
        for (const double t : d.temps)
            liste += (liste.empty() ? "" : ", ") + Temps(t, separateur) + " s";
        return std::string(d.temps.size() == 1 ? "Point exclu" : "Points exclus") + " à la demande : t = " + liste
               + ".";
    }
    case Remarque::DebutDetecte:
        return "Début de la réaction détecté à t = " + Temps(d.t, separateur)
               + " s : les points précédents (ligne de base) sont écartés.";
    case Remarque::Rupture:
        return d.baisse ? "Chute brutale de la pression à t = " + Temps(d.t, separateur)
                              + " s (flacon ouvert ou fuite ?) : l'analyse s'arrête avant."
                        : "Saut brutal de la pression à t = " + Temps(d.t, separateur)
                              + " s (bouchon enfoncé ou appareil perturbé ?) : l'analyse s'arrête avant.";
    case Remarque::AucuneCourbure:
        if (d.palierImmediat)
            return "Aucune courbure visible : la pression atteint son palier dès le début de l'intervalle ; "
                   "k et t½ ne peuvent pas être déterminés.";
        return std::string("Aucune courbure visible : la pression ") + (d.baisse ? "décroît" : "croît")
               + " en ligne droite sur l'intervalle : réaction trop lente pour la durée mesurée, ou d'ordre 0 ; "
                 "k et t½ ne peuvent pas être déterminés.";
    case Remarque::PointAberrant:
        return "Le point à t = " + Temps(d.t, separateur) + " s s'écarte de la courbe de "
               + NombreGroupe(d.pression, 2, separateur) + " Pa (" + NombreGroupe(d.bruits, 2, separateur)
               + " fois le bruit) : vérifiez-le ou excluez-le.";
    case Remarque::PressionsArrondies:
        return "Les pressions du fichier sont arrondies (pas de " + NombreGroupe(d.pression, 1, separateur)
               + " Pa) : les incertitudes sont sous-estimées ; analysez plutôt le journal de l'essai, en pleine "
                 "précision.";
    }
    return {};
}

std::string TexteRemarques(const Resultat& r, char separateur)
{
    std::string texte;
    for (const DetailRemarque& d : r.details)
        texte += (texte.empty() ? "" : " ") + TexteRemarque(d, separateur);
    return texte;
}

} // namespace Cinetique
