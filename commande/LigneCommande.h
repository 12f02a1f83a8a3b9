#pragma once
// The command line: its arguments read once into one mode with its options,
// and the batch modes run on them. Plain C++ on streams; the PDFs, which
// draw with Qt, are written by functions the program gives (Rapports).
//
//   nelvar                        the window (Qt's own options pass to it)
//   nelvar --help                 the help, in French
//   nelvar --analyse [--volume L] [--temperature °C] [--debut s] [--fin s]
//                    [--origine] [--exclure T1,T2...] FILE...
//   nelvar --rapport OUT.pdf [--volume L] [--temperature °C] [--debut s]
//                    [--fin s] [--exclure T1,T2...] FILE
//   nelvar --classe [--pdf OUT.pdf] FOLDER|FILE...
//   nelvar --simuler OUT.txt [--temperature °C] [--concentration mol/L]
//                    [--catalyseur mol/L] [--volume-solution mL]
//                    [--volume-gaz mL] [--duree s] [--graine N]
//
// The mode is chosen by the arguments before any "--": --simuler, else
// --classe, else
// --rapport, else --analyse; --help anywhere asks for the help. Every option
// that takes a value takes it as the next argument or after "="
// ("--volume=0,25"); numbers take a decimal comma or a decimal point. "--"
// ends the options, "-" alone is a file. An option the mode does not know is
// refused, the window's included: only Qt's own options reach it (-platform,
// -style, -geometry, ...; with one or two dashes), and a mistyped option
// ("--analyze") is told rather than left to open the window.
//
// --analyse: for each file, read (journal/LectureEssai.h) and analysed
// (kinetics/AnalyseCinetique.h), one row of results on `sortie`: UTF-8
// tab-separated text, lines ended by "\n", the header line kEnteteResultats
// then one row per analysed file (analyse/LigneResultats.h). A run journal
// is analysed on its real times, with its own V and T where the options give
// none. A file that cannot be read or analysed gives one line
// "<path> : <message>" on `erreurs` and no row; the other files are still
// analysed.
//
// --rapport: the lab report of one run, read and analysed as the analysis
// window does it (analyse/AnalyseEssai.h), written by Rapports::essai.
//
// --classe: every run of the folders (each regular file but classe.tsv) and
// the files given (classe/SyntheseClasse.h); on `sortie` the text of
// Classe::TexteSynthese; each file left out gives one line
// "<path> : <reason>" on `erreurs`. With --pdf, the class report is written
// too, by Rapports::classe.
//
// --simuler: a run of the virtual bench (commande/SimulationEssai.h) written
// at once as a run journal at OUT.txt, replaced whole or left untouched
// (runtime/FichierTexte.h); its options are the bench's settings (their
// bounds: acquisition/ReactionSimulee.h), the duration (1 to 1023 s: a run
// holds at most 1024 readings) and the noise's seed, a whole number. A value
// out of its bounds is a wrong command line; an output that cannot be
// written gives "<path> : <message>" on `erreurs` and kCodeEchec.
//
// A wrong command line gives one line on `erreurs`,
// "nelvar : <what is wrong> (voir nelvar --help).", and nothing on `sortie`.
// Exit codes: commande/CodesSortie.h.
#include "analyse/AnalyseEssai.h"
#include "analyse/LigneResultats.h"
#include "classe/SyntheseClasse.h"
#include "commande/CodesSortie.h"
#include "commande/SimulationEssai.h"
#include "kinetics/AnalyseCinetique.h"
#include "runtime/Issue.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Cinetique {

enum class Mode { Fenetre, Aide, Analyse, Rapport, Classe, Simuler };

struct Commande {
    Mode mode = Mode::Fenetre;
    Options options;                   // --analyse's and --rapport's
    std::vector<std::string> fichiers; // the files; --classe's folders and files
    std::optional<std::string> pdf;    // --rapport's, or --classe's --pdf
    std::string journal;               // --simuler's output
    Simulation simulation;             // --simuler's settings
};

// Reads the program's arguments (its name left out); a wrong command line
// fails with the French message that says what is wrong.
Issue<Commande> LireLigneDeCommande(std::span<const std::string> arguments);

// Writes the run's lab report of `analyse` (analysed, valid) as a PDF at
// `chemin`; raises Exception with the French message.
using RapportEssai = std::function<void(const AnalyseEssai& analyse, const std::string& chemin)>;
// Writes the class report of `synthese` as a PDF at `chemin`, or fails with
// the French message.
using RapportClasse = std::function<Issue<void>(const Classe::Synthese& synthese, const std::string& chemin)>;

// The PDFs' writers; one that is not given refuses its mode's PDF.
struct Rapports {
    RapportEssai essai;
    RapportClasse classe;
};

// Runs a batch mode (every mode but the window's, which is the caller's) and
// gives the exit code. The texts on `sortie` write their numbers with
// `separateur` (the program passes its regional setting); the PDFs with a
// decimal comma whatever it is.
int Executer(const Commande& commande, char separateur, std::ostream& sortie, std::ostream& erreurs,
             const Rapports& rapports = {});

// Reads the arguments and runs their batch mode: a wrong command line is
// told on `erreurs` and gives kCodeEchec. The window's mode runs nothing and
// gives kCodeSucces.
int EnLigneDeCommande(std::span<const std::string> arguments, char separateur, std::ostream& sortie,
                      std::ostream& erreurs, const Rapports& rapports = {});

// Tells a wrong command line on `erreurs` and gives kCodeEchec.
int Refuser(const std::string& message, std::ostream& erreurs);

} // namespace Cinetique
