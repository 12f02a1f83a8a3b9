#pragma once
// The class synthesis: every run of a class folder (or of the files given)
// analysed as `nelvar --analyse` analyses it, the factor typed for each run
// (classe.tsv), and the conclusions the class draws from them, each with its
// standard uncertainty. Plain C++, no window: the command line (--classe),
// the synthesis window and the class report all use it.
//
// classe.tsv (UTF-8, lines ended by "\n"; "\r\n" and a byte order mark are
// read too): an optional line "# nature du facteur : <nature>" (réactif,
// température, catalyseur or autre; written unless "autre", which its absence
// means), then a line "fichier<TAB><nom> (<unité>)" ("fichier<TAB><nom>"
// without a unit, "fichier<TAB>facteur" when no factor is named), then one
// line per run "<file name><TAB><value>", the value with a decimal point as
// written (a decimal comma is read too); a run without a value has no line.
//
// The conclusions (docs/ligne-de-commande.md gives them to the teachers),
// every fit weighted by the runs' own uncertainties (classe/Ajustements.h),
// a sentence saying when the scatter between runs exceeds them:
//   - Arrhenius, over the runs whose k is determined and whose temperature
//     is known, at least 3 distinct temperatures (groups more than
//     kEcartTemperature apart): ln k on 1/T, T = θ + 273,15 K
//     (InverseTemperature), each run
//     weighted by u(ln k) = u(k)/k; Ea = −R·b with u = R·u(b), A = exp(a)
//     with u = A·u(a), and the fit's χ²/ν. With exactly 2 temperatures, one
//     sentence says why there is no Ea; with fewer, nothing (the class
//     studies another factor).
//   - The factor, over the runs with a value and a determined k, at least 3
//     of them and 2 distinct values: the lines k = a + b·f (weights u(k))
//     and t½ = a + b·f (weights u(t½)). For the reactant followed, t½ does
//     not depend on it when |b| ≤ 2·u(b), compatible with order 1, and
//     otherwise the reaction is not of order 1; for another factor, one
//     sentence says whether k increases, decreases or stays (the same 2·u(b)
//     criterion on the k line), and nothing of the order.
//   - Repeated runs: runs with a determined k and a known temperature, the
//     same factor value (or none), the temperatures grouped by single
//     linkage within kEcartTemperature (one bath is one group), named by
//     their mean rounded to the degree; a series of 2 runs or more gives the
//     weighted means of k and of t½ with their uncertainties, their standard
//     deviation s, and the mean of the fits' own u.
#include "classe/Ajustements.h"
#include "journal/LectureEssai.h"
#include "kinetics/AnalyseCinetique.h"
#include "kinetics/Constantes.h"
#include "runtime/Issue.h"

#include <array>
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

// 1/T (1/K) of a run's temperature θ in °C, T = θ + 273,15 K, as the
// Arrhenius line takes it.
inline double InverseTemperature(double celsius) { return 1 / (celsius + Constantes::kZeroCelsiusExact); }

inline constexpr std::string_view kNomTable = "classe.tsv";
// Two temperatures closer than this (°C) are the same condition.
inline constexpr double kEcartTemperature = 0.5;

// What the factor is, which decides the question the synthesis asks of it:
// only the reactant followed (its initial concentration or amount) tests the
// order; for the others the synthesis says how k varies.
enum class Nature { Autre, Reactif, Temperature, Catalyseur };

// The word classe.tsv keeps: "réactif", "température", "catalyseur", "autre".
std::string_view MotNature(Nature nature);
// The nature of a word of classe.tsv; none for another word.
std::optional<Nature> NatureDuMot(std::string_view mot);

// The factor the class studies besides the temperature, named once with its
// unit ("concentration initiale", "mol/L") and its nature; empty name: none.
struct Facteur {
    std::string nom;
    std::string unite;
    Nature nature = Nature::Autre;
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
Issue<void> EcrireTable(const std::string& dossier, const TableClasse& table);

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

// A number in a conclusion's sentence, written when the sentence is, with
// the separator of the text it goes into: with an uncertainty, both rounded
// together ("0,0040 ± 0,0003 s⁻¹ par g"); without, 2 significant digits
// ("3,1·10⁻⁴ s⁻¹"). `suite` is the sentence's text after it.
struct NombrePhrase {
    double valeur = 0;
    std::optional<double> incertitude = {};
    std::string unite = {};
    std::string suite = {};
    bool operator==(const NombrePhrase&) const = default;
};

// One conclusion: a number with its standard uncertainty, or a sentence.
// Nothing in it is written with a decimal separator: the texts that show it
// (Cellules, TexteArrondi) write its numbers with the separator they are
// given, whatever thread drew the conclusion.
struct Conclusion {
    std::string nom;                     // "Énergie d'activation Ea (J/mol)"...; for a series, "k moyen"
    std::optional<double> valeur;
    std::optional<double> incertitude;
    std::string phrase;                  // for a conclusion in words; then no number
    std::string unite;                   // of the value as the window writes it ("J/mol", "s⁻¹"); may be empty
    // The sentence goes on with these numbers, each followed by its text.
    std::vector<NombrePhrase> nombres = {};
    // A repeated series' conclusion: its name goes on with the series'
    // conditions (" à 20 °C, 3 essais"), then its unit as the command line
    // writes units (" (s-1)").
    std::optional<std::size_t> serie = {}; // in Synthese::repetitions
};

// The line through (x, y), ordinary least squares (classe/Ajustements.h,
// unweighted); none with fewer than 3 points or with all x equal.
std::optional<Droite> AjusterDroite(std::span<const double> x, std::span<const double> y);

// Runs repeated at the same conditions (see above): the indices of the runs
// in Synthese::essais and their statistics.
struct SerieRepetee {
    double temperature = 0;              // °C, the mean of the runs'
    // The digits of its temperature as named (NomTemperature): 0, "40 °C";
    // 1, "40,3 °C", when another series at its factor value rounds alike.
    int decimalesNom = 0;
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
// threads as the processor has cores (this one among them), all joined
// before it returns (runtime/EnParallele.h); a failure that
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

// The table's columns, in the order the command line writes them.
enum class Colonne : int {
    Fichier, Poste, Debut, Temperature, Volume, Facteur, Points,
    K, UK, TDemi, UTDemi, XFinale, UXFinale, Remarque,
};
inline constexpr int kColonnes = static_cast<int>(Colonne::Remarque) + 1;
using Rangee = std::array<std::string, kColonnes>;

// The table's header, a cell a column (no number in it: the same for any
// separator).
Rangee EnTetes(const Facteur& facteur);
// A run's row, numbers as --analyse writes them with `separateur`; the file
// as given (its path).
Rangee Cellules(const EssaiClasse& essai, char separateur);
// A conclusion's name (NomConclusion), value (or sentence) and standard
// uncertainty, numbers written with `separateur`.
std::array<std::string, 3> Cellules(const Synthese& synthese, const Conclusion& conclusion, char separateur);

// A series' temperature as named: "40 °C", "40,3 °C".
std::string NomTemperature(const SerieRepetee& serie, char separateur);
// A conclusion's name as the text writes it: with a series' conditions.
std::string NomConclusion(const Synthese& synthese, const Conclusion& conclusion, char separateur);
// A conclusion's sentence with its numbers; empty for a conclusion that is
// a number.
std::string PhraseConclusion(const Conclusion& conclusion, char separateur);

// The text --classe writes on stdout (UTF-8, "\n", numbers as --analyse
// writes them): the header, one row per run, an empty line, the conclusions
// "nom<TAB>valeur<TAB>incertitude" ("nom<TAB>phrase<TAB>" for a sentence).
// The window's copy is the same text; the numbers are written with
// `separateur` (the class report's ',').
std::string TexteSynthese(const Synthese& synthese, char separateur);

} // namespace Classe
