#include "analyse/AideAnalyse.h"

#include "acquisition/DemonstrationSignal.h"
#include "kinetics/Constantes.h"
#include "numtext/NumberText.h"

#include <chrono>
#include <cmath>

DonneesEssai EssaiDeDemonstration()
{
    DemonstrationSignal signal;
    DonneesEssai d;
    d.nom = "Démonstration";
    d.volume = 0.25;
    d.temperature = 20;
    d.source = "carte simulée";
    for (int i = 0; i < kPointsDemonstration; ++i) {
        const double t = i * kPeriodeDemonstration;
        const auto instant = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(t));
        d.points.push_back({t, signal.Voltage(1, instant) * DemonstrationSignal::kPascalsPerVolt});
    }
    return d;
}

std::string PageAide(const AnalyseEssai& a, char separateur)
{
    if (!a.Valide())
        return "<p>" + a.Erreur() + "</p>";
    const Cinetique::Resultat& r = a.Resultat();
    const double ta = r.modele.ta;
    const std::string tDemi = ArrondiIncertitude(r.tDemi, r.uTDemi, "s", separateur);
    const std::string k = ArrondiIncertitude(r.k, r.uK, "s⁻¹", separateur);
    const std::string tau = Decimales(1 / r.k, 1, separateur) + " s";
    const std::string xf = r.xFinal && r.uXFinal ? ArrondiIncertitude(*r.xFinal * Constantes::kMmolParMol,
                                                                      *r.uXFinal * Constantes::kMmolParMol, "mmol", separateur)
                                                 : std::string("—");
    const auto v = a.VitesseModele(ta);
    const std::string vitesse = v ? AvecPuissance(*v, 3, "mol·L⁻¹·s⁻¹", separateur) : std::string("—");
    const auto& test = a.Test();
    const std::string r2Test = test ? FormatGeneral(test->r2, 5, separateur) : std::string("—");
    const std::string n = std::to_string(r.points);

    std::string page;
    page += "<h2>Comprendre les résultats</h2>"
            "<p>Les exemples sont ceux que le programme trouve sur l'essai de démonstration de la carte "
            "simulée : " + n + " points, un par seconde, avec V = 0,25 L et θ = 20 °C. Ces mesures sont "
            "produites par le programme, ce ne sont pas celles d'une expérience.</p>";
    page += "<h3>Le modèle d'ordre 1</h3>"
            "<p>Pour une réaction d'ordre 1, l'avancement suit x(t) = x<sub>f</sub> − (x<sub>f</sub> − "
            "x<sub>a</sub>)·e<sup>−k·(t − t<sub>a</sub>)</sup>, où t<sub>a</sub> est le début de l'intervalle "
            "analysé, x<sub>a</sub> l'avancement à cette date et x<sub>f</sub> l'avancement final. "
            "Sur la démonstration : x<sub>f</sub> = " + xf + ".</p>";
    page += "<h3>La constante de vitesse k</h3>"
            "<p>k dit à quelle vitesse la réaction s'approche de sa fin : plus k est grand, plus elle est "
            "rapide. Son unité est s⁻¹. Sur la démonstration : k = " + k + ".</p>";
    page += "<h3>Le temps de demi-réaction t½</h3>"
            "<p>C'est la durée au bout de laquelle l'avancement a fait la moitié du chemin qui lui reste, de "
            "x<sub>a</sub> à x<sub>f</sub>. Pour l'ordre 1, t½ = ln 2 / k : il ne dépend pas de la quantité "
            "initiale. Sur le graphique, le tiret vertical est à la date t<sub>a</sub> + t½ et le tiret "
            "horizontal à (x<sub>a</sub> + x<sub>f</sub>)/2. Sur la démonstration : t½ = " + tDemi + ".</p>";
    page += "<h3>Le temps caractéristique τ</h3>"
            "<p>τ = 1/k. La tangente à la courbe au début de l'intervalle coupe la droite x = x<sub>f</sub> à "
            "la date t<sub>a</sub> + τ : c'est la construction graphique du cours (tiret « t<sub>a</sub> + τ » "
            "et tangente en pointillés). Au bout de τ, l'avancement a fait 63 % du chemin ; au bout de 5τ, plus "
            "de 99 %. Sur la démonstration : τ = " + tau + ".</p>";
    page += "<h3>Le test de l'ordre 1</h3>"
            "<p>Si la réaction est d'ordre 1, ln((p∞ − p<sub>a</sub>)/(p∞ − p)) = k·(t − t<sub>a</sub>) : "
            "les points doivent s'aligner sur une droite passant par l'origine, de pente k. Un coefficient R² "
            "proche de 1 confirme l'ordre 1 ; des points qui s'incurvent le contredisent. "
            "Sur la démonstration : R² = " + r2Test + ".</p>";
    page += "<h3>La vitesse volumique de réaction</h3>"
            "<p>v = (1/V)·dx/dt, en mol·L⁻¹·s⁻¹ : c'est la pente de la tangente à la courbe x(t), divisée "
            "par le volume. Elle est la plus grande au début et tend vers 0 à la fin. Cliquez sur la courbe "
            "pour tracer une tangente : sa date, sa pente et v s'affichent. Sur la démonstration, au début : "
            "v = " + vitesse + ".</p>";
    page += "<h3>L'incertitude-type</h3>"
            "<p>Chaque mesure porte un peu de bruit : refaire l'expérience ne donnerait pas exactement les "
            "mêmes nombres. L'incertitude-type u mesure cette dispersion : « t½ = " + tDemi + " » veut dire "
            "que la valeur vraie se trouve le plus souvent à moins de u de la valeur annoncée (environ deux "
            "fois sur trois) et presque toujours à moins de 2u. La valeur est arrondie au même rang que "
            "son incertitude.</p>";
    return page;
}
