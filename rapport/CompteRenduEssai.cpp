#include "rapport/CompteRenduEssai.h"

#include "kinetics/Constantes.h"

#include "analyse/AnalyseEssai.h"
#include "chart/TChart.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"
#include "rapport/DessinCompteRendu.h"
#include "rapport/GraphiquesEssai.h"
#include "runtime/HeureLocale.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr int kChiffresTableau = 6;
constexpr int kDecimalesAvancementMax = 6; // its extents, mmol

// A number of the report, with its decimal comma.
std::string Nombre(double valeur, int chiffres = kChiffresTableau)
{
    return FormatGeneral(valeur, chiffres, CompteRendu::kSeparateurDecimal);
}

std::string Condition(const std::optional<double>& valeur, const std::string& unite, const char* inconnu)
{
    return valeur ? Nombre(*valeur) + " " + unite : std::string(inconnu);
}

// "le 07/12/2026 à 19:08:22", local time.
std::string DateEtHeure(std::chrono::system_clock::time_point moment)
{
    return HeureLocale(moment, "le %d/%m/%Y à %H:%M:%S");
}

} // namespace

CompteRendu::Contenu ContenuCompteRendu(const AnalyseEssai& analyse)
{
    const char virgule = CompteRendu::kSeparateurDecimal;
    const DonneesEssai& d = analyse.Donnees();
    CompteRendu::Contenu c;
    c.titre = "Compte rendu d'essai";
    c.essai.push_back("Essai : " + Cinetique::EnUtf8(d.nom));
    if (d.debut)
        c.essai.push_back("Date et heure de l'essai : " + DateEtHeure(*d.debut));
    else
        c.essai.push_back(d.fichier ? "Date et heure de l'essai : non enregistrées dans le fichier"
                                    : "Date et heure de l'essai : inconnues");
    // Where it was measured, when the run records it: the bench of the room.
    if (!d.poste.empty())
        c.essai.back() += " ; poste : " + d.poste;
    // The source a journal or the session records; only a file that does not
    // record it leaves it unknown. The simulated card's notice always goes
    // with it: its values come from no experiment.
    if (d.source.empty())
        c.essai.push_back(d.fichier ? "Source des mesures : un fichier enregistré (la carte ou le boîtier qui a mesuré "
                                      "n'y est pas noté)"
                                    : "Source des mesures : inconnue");
    else if (d.source.find("simulée") != std::string::npos)
        c.essai.push_back("Source des mesures : la carte simulée. Ces mesures sont produites par le programme, ce ne "
                          "sont pas celles d'une expérience.");
    else
        c.essai.push_back("Source des mesures : " + d.source);
    c.essai.push_back("Volume du gaz : V = " + Condition(d.volume, "L", "inconnu") +
                      " ; température : T = " + Condition(d.temperature, "°C", "inconnue") +
                      " ; coefficient : " + Condition(d.coefficient, "Pa/V", "non enregistré"));
    c.graphiques = 2;
    // The feet name the run: its file's name, or "Essai N".
    c.pied = Cinetique::EnUtf8(d.fichier ? std::filesystem::path(d.nom).filename().string() : d.nom);
    if (analyse.Valide()) {
        c.resultats = analyse.LignesResultats(virgule);
        if (const auto tangente = analyse.LigneTangente(virgule))
            c.resultats.insert(c.resultats.end() - 1, *tangente); // before the remark
    } else {
        c.resultats.emplace_back("Analyse", analyse.Erreur());
    }
    // Times to the millisecond; extents to the digit that one pascal moves.
    c.entetes = {"t (s)", "p (Pa)", "x (mmol)"};
    int decimalesX = kDecimalesAvancementMax;
    if (const auto parPascal = analyse.MolParPascal(); parPascal && *parPascal > 0)
        decimalesX = std::clamp(static_cast<int>(std::ceil(-std::log10(*parPascal * Constantes::kMmolParMol))), 0,
                                kDecimalesAvancementMax);
    for (int i = 0; i < analyse.Points(); ++i) {
        const Cinetique::Point& p = d.points[static_cast<std::size_t>(i)];
        const auto x = analyse.Avancement(i);
        c.tableau.push_back({Decimales(p.t, kDecimalesTemps, virgule), Nombre(p.p),
                             x ? Decimales(*x * Constantes::kMmolParMol, decimalesX, virgule) : "—"});
    }
    return c;
}

void EnregistrerCompteRenduEssai(const AnalyseEssai& analyse, const std::string& chemin)
{
    GraphiquesEssai graphiques;
    graphiques.TracerAvancement(analyse, CompteRendu::kSeparateurDecimal);
    const bool vitesse = !analyse.Vitesses().empty();
    graphiques.TracerSecond(analyse, vitesse ? GraphiquesEssai::Second::Vitesse : GraphiquesEssai::Second::Test,
                            CompteRendu::kSeparateurDecimal);
    CompteRendu::EnregistrerPdf(chemin, ContenuCompteRendu(analyse),
                                {graphiques.Avancement, vitesse ? graphiques.Vitesse : graphiques.Test});
}
