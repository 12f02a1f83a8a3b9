#pragma once
// The batch mode of the command line, beside the window:
//   nelvar --analyse [--volume L] [--temperature °C] [--debut s] [--fin s]
//                    [--origine] [--exclure T1,T2...] FILE...
// reads each saved run (journal/LectureEssai.h), analyses it
// (kinetics/AnalyseCinetique.h) and writes one row of results for it. A run
// journal is analysed on its real times, with its own V and T where the
// options give none.
//
// Output, on `sortie`: UTF-8 tab-separated text, lines ended by "\n", the
// header line kEnteteResultats then one row per analysed file: the path as
// given, the number of points of the interval, then the numbers in the
// program's general format (NombreResultat: FormatGeneral, kChiffresResultats
// significant digits, the process's decimal separator, no thousands separator); a value
// that does not exist (the final extent without V and T, the graphical
// half-time never reached, k and what follows from it when the data cannot
// give them) is an empty field. The remarks' French sentences follow one
// another (TexteRemarques). Tabs and line ends of a path are written as '?', and
// a path that is not UTF-8 is read as Windows-1252.
//
// A file that cannot be read or analysed gives one line "<path> : <message>"
// on `erreurs` and no row; the other files are still analysed.
//
// Exit code: 0 when every file was analysed, kCodeEchec when one failed, the
// options are wrong or `sortie` could not be written (with one line on
// `erreurs`); --help writes the help
// on `sortie` and gives 0. Option values take a decimal comma or a decimal
// point; "--option=valeur" is accepted too, and "--" ends the options.
#include "analyse/LigneResultats.h"
#include "classe/SyntheseClasse.h"
#include "kinetics/AnalyseCinetique.h"
#include "runtime/Issue.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Cinetique {

inline constexpr int kCodeEchec = 2;

// Whether the program's arguments (its name left out) ask for this mode
// rather than the window: one of them is "--analyse", or the first is
// "--help".
bool ModeLigneDeCommande(std::span<const std::string> arguments);

// The options and files of a command line; `rapport`: the PDF that
// "--rapport OUT.pdf" asks for (the report's mode, analyse/fenetre/ExportAnalyse.h).
struct Demande {
    Options options;
    std::vector<std::string> fichiers;
    std::optional<std::string> rapport;
    bool aide = false;
};

// Reads the arguments (the program's name left out); a wrong command line
// fails with the French message that says what is wrong.
Issue<Demande> LireArguments(std::span<const std::string> arguments);

// Runs the mode on the program's arguments (its name left out) and gives the
// exit code.
int AnalyseEnLigneDeCommande(std::span<const std::string> arguments, std::ostream& sortie, std::ostream& erreurs);

// The class synthesis:
//   nelvar --classe [--pdf SORTIE.pdf] DOSSIER|FICHIER...
// analyses every run of the folders (each regular file but classe.tsv) and
// the files given (classe/SyntheseClasse.h) and writes on `sortie` the text
// of Classe::TexteSynthese: the table's header, one row per run, an empty
// line, the conclusions. Each file left out gives one line "<path> : <reason>"
// on `erreurs`: a run still being written, a file the reader refuses or whose
// analysis is impossible, a folder or a classe.tsv that cannot be read.
// With --pdf, the class report is written too, by `rapport` (the program
// gives it; it draws with Qt); none given, --pdf is refused.
//
// Exit code: 0 when at least one run was analysed and every output asked for
// was written; kCodeEchec otherwise (no run, wrong options, the standard
// output or the PDF not written, with one line on `erreurs`).
inline constexpr std::string_view kOptionClasse = "--classe";

// Whether the arguments (the program's name left out) ask for the class
// synthesis: one of them, before any "--", is "--classe".
bool ModeClasse(std::span<const std::string> arguments);

struct DemandeClasse {
    std::vector<std::string> chemins; // folders and files
    std::optional<std::string> pdf;
    bool aide = false;
};
Issue<DemandeClasse> LireArgumentsClasse(std::span<const std::string> arguments);

// Writes the class report of `synthese` as a PDF at `chemin`, or fails with
// the French message.
using RapportClasse = std::function<Issue<void>(const Classe::Synthese& synthese, const std::string& chemin)>;

int ClasseEnLigneDeCommande(std::span<const std::string> arguments, std::ostream& sortie, std::ostream& erreurs,
                            const RapportClasse& rapport = {});

} // namespace Cinetique
