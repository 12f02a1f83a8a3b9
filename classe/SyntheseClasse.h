#pragma once
// The class synthesis: every run of a class folder (or of the files given)
// analysed as `nelvar --analyse` analyses it, the factor typed for each run
// (classe.tsv), and the conclusions the class draws from them, each with its
// standard uncertainty. Plain C++, no window: the command line (--classe),
// the synthesis window and the class report all use it.
//
// classe.tsv (UTF-8, lines ended by "\n"; "\r\n" and a byte order mark are
// read too): a first line "fichier<TAB><nom> (<unité>)" ("fichier<TAB><nom>"
// without a unit, "fichier<TAB>facteur" when no factor is named), then one
// line per run "<file name><TAB><value>", the value with a decimal point as
// written (a decimal comma is read too); a run without a value has no line.
//
// The conclusions (docs/ligne-de-commande.md gives them to the teachers):
//   - Arrhenius, over the runs whose k is determined and whose temperature
//     is known, at least 3 distinct temperatures (more than kEcartTemperature
//     apart): ordinary least squares of ln k on 1/T, T = θ + 273,15 K,
//     uncertainties from the residuals (n − 2 degrees of freedom); Ea = −R·b
//     with u = R·u(b), A = exp(a) with u = A·u(a). With exactly 2
//     temperatures, one sentence says why there is no Ea; with fewer, nothing
//     (the class studies another factor).
//   - The factor, over the runs with a value and a determined k, at least 3
//     of them and 2 distinct values: the lines k = a + b·f and t½ = a + b·f
//     with u(b); t½ does not depend on the factor when |b| ≤ 2·u(b) (the
//     slope within two standard uncertainties of zero), and one sentence
//     says which.
//   - Repeated runs: runs with a determined k and a known temperature, the
//     same factor value (or none), the temperatures within kEcartTemperature
//     of the coolest run of the series; a series of 2 runs or more gives the
//     mean of k and of t½ with the standard uncertainty of the mean (type A,
//     s/√n), their standard deviation s, and the mean of the fits' own u.
#include "journal/LectureEssai.h"
#include "kinetics/AnalyseCinetique.h"
#include "runtime/Issue.h"

#include <chrono>
#include <functional>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace Classe {

inline constexpr double kR = 8.314462618; // J·mol⁻¹·K⁻¹
inline constexpr double kZeroCelsius = 273.15; // K
inline constexpr std::string_view kNomTable = "classe.tsv";
// Two temperatures closer than this (°C) are the same condition.
inline constexpr double kEcartTemperature = 0.5;

// The factor the class studies besides the temperature, named once with its
// unit ("concentration initiale", "mol/L"); empty name: none.
struct Facteur {
    std::string nom;
    std::string unite;
};

// The factor's column in the table and in classe.tsv: "<nom> (<unité>)",
// "<nom>" without a unit, "facteur" when none is named.
std::string NomColonne(const Facteur& facteur);

// classe.tsv: the factor and its value for each run, by the run's file name
// (not its path: the folder may be mounted elsewhere on another PC).
struct TableClasse {
    Facteur facteur;
    std::vector<std::pair<std::string, double>> valeurs; // file name, value
    std::optional<double> Valeur(const std::string& nomFichier) const;
    // Sets (or, with none, removes) the value of a run.
    void Fixer(const std::string& nomFichier, std::optional<double> valeur);
};
// From the folder's classe.tsv; an empty table when there is none; a failure
// with its French message when it cannot be read or is malformed.
Issue<TableClasse> LireTable(const std::string& dossier);
// The table from the text of a classe.tsv; a failure with its French message
// when it is malformed.
Issue<TableClasse> LireTexteTable(std::string_view texte);
// The text of classe.tsv for `table`.
std::string TexteTable(const TableClasse& table);
// Written atomically (temporary file then rename): a reader sees the old
// table or the new one, never a half.
Issue<bool> EcrireTable(const std::string& dossier, const TableClasse& table);

// One run of the class, analysed.
struct EssaiClasse {
    std::string chemin;                  // as found or given
    std::string nom;                     // its file name
    ConditionsEssai conditions;          // as its journal's header says (nothing known for another file)
    std::optional<double> facteur;       // the value typed for it (classe.tsv)
    std::vector<Cinetique::Point> points; // the run's points (real times), for the curves overlaid
    Cinetique::Resultat resultat;        // exactly as --analyse gives it
};

// A file found that is not a run, or that could not be read or analysed, or
// a run still being written (a temporary file); `raison` is French.
struct FichierEcarte {
    std::string chemin;
    std::string raison;
};

// The reason given for a run still being written.
inline constexpr std::string_view kRaisonEnCours = "essai en cours d'écriture (fichier temporaire), ignoré.";

// Whether a file name is that of a run still being written: a name starting
// with "." or ending with ".tmp" (a bench writes its journal under such a
// name, then renames it).
bool EnCoursDEcriture(std::string_view nomFichier);

// One conclusion: a number with its standard uncertainty, or a sentence.
struct Conclusion {
    std::string nom;                     // "Énergie d'activation Ea (J/mol)"...
    std::optional<double> valeur;
    std::optional<double> incertitude;
    std::string phrase;                  // for a conclusion in words; then no number
};

// A least-squares line y = a + b·x with the standard uncertainties of a and b
// from its residuals (n − 2 degrees of freedom).
struct Droite {
    double ordonnee = 0, uOrdonnee = 0;
    double pente = 0, uPente = 0;
    int points = 0;
};
// The line through (x, y), ordinary least squares; none with fewer than 3
// points or with all x equal.
std::optional<Droite> AjusterDroite(std::span<const double> x, std::span<const double> y);

// Runs repeated at the same conditions (see above): the indices of the runs
// in Synthese::essais and their statistics.
struct SerieRepetee {
    double temperature = 0;              // °C, the mean of the runs'
    std::optional<double> facteur;
    std::vector<std::size_t> essais;
    double kMoyen = 0, kEcartType = 0, uKMoyenne = 0, uKAjustements = 0;               // s⁻¹
    double tDemiMoyen = 0, tDemiEcartType = 0, uTDemiMoyenne = 0, uTDemiAjustements = 0; // s
};

struct Synthese {
    Facteur facteur;
    std::vector<EssaiClasse> essais;     // in the order of their start (then name)
    std::vector<FichierEcarte> ecartes;
    std::optional<Droite> arrhenius;     // ln k against 1/T (K⁻¹), at least 3 distinct temperatures
    std::optional<Droite> kSelonFacteur, tDemiSelonFacteur;
    std::vector<SerieRepetee> repetitions;
    std::vector<Conclusion> conclusions;
};

// The files a list of folders and files stands for: every regular file of a
// folder (not its subfolders) but its classe.tsv, sorted by name; a file
// given stays as given. A folder that cannot be read fails with its French
// message.
Issue<std::vector<std::string>> Fichiers(const std::vector<std::string>& dossiersOuFichiers);

// One file, read and analysed as --analyse does (journal's V and T, start
// found, honest blanks), or why it was left out.
std::variant<EssaiClasse, FichierEcarte> AnalyserFichier(const std::string& chemin, const TableClasse& table);

// Files analysed together, reading and parsing being what cost: the i-th
// result is analyser(i), for i below chemins.size(), computed on as many
// threads as the processor has cores (this one among them); a failure that
// the analysis does not give as a value (memory, an internal error) gives
// chemins[i] left out with its French reason rather than ending the program.
std::vector<std::variant<EssaiClasse, FichierEcarte>>
AnalyserEnParallele(const std::vector<std::string>& chemins,
                    const std::function<std::variant<EssaiClasse, FichierEcarte>(std::size_t i)>& analyser);

// The conclusions over the runs analysed.
Synthese Conclure(std::vector<EssaiClasse> essais, std::vector<FichierEcarte> ecartes, const Facteur& facteur);

// Everything at once, for the command line and the report. Each file takes
// its value from the classe.tsv of its own folder; the factor is the first
// one named among them. A folder that cannot be read, or a classe.tsv that
// cannot, is listed in `ecartes` with its French message.
Synthese Synthetiser(const std::vector<std::string>& dossiersOuFichiers);

// The start as the table writes it: local time, "2026-12-08 10:32:00", no
// offset (every bench of a class is in the teacher's zone).
std::string TexteDebut(std::chrono::system_clock::time_point debut);

// The header line of the table, without its line end.
std::string EnTeteTable(const Facteur& facteur);

// The text --classe writes on stdout (UTF-8, "\n", numbers as --analyse
// writes them): the header, one row per run, an empty line, the conclusions
// "nom<TAB>valeur<TAB>incertitude" ("nom<TAB>phrase<TAB>" for a sentence).
// The window's copy is the same text.
std::string TexteSynthese(const Synthese& synthese);

} // namespace Classe
