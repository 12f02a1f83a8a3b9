#pragma once
// The run journal: every run written as it is measured, one line a reading,
// appended and flushed to the disk (fsync) at each tick, to a file of its own
// in the user's data folder. A crash, a power cut or a new run then never
// loses more than the reading in progress. Plain C++.
//
// The file (docs/journal-des-essais.md), UTF-8, lines ended by "\n":
//   # format : journal d'essai nelvar 1
//   # début : 2026-12-07 14:03:52 +0100
//   # source : carte simulée
//   # poste : SALLE2-PC07        (the computer's host name, when known)
//   # volume (L) : 0.25
//   # température (°C) : 20
//   # coefficient (Pa/V) : 100000
//   # p et - p : non
//   temps des ticks (s)<TAB>temps réel (s)<TAB>pression (Pa)<TAB>avancement (mol)<TAB>tension voie 1 (V)<TAB>tension voie 2 (V)
//   0<TAB>0<TAB>101325.00000000001<TAB>0<TAB>1.01325<TAB>0
//   ...
// Every number is the shortest text that reads back to the same double, with
// a decimal point (NombreExact). The name is the run's start, local time:
// "essai_2026-12-07_14-03-52.txt" (a second run started in the same second
// gets "_2", "_3"... before ".txt").
#include "essai/ConditionsEssai.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Journal {

inline constexpr std::string_view kPremiereLigne = "# format : journal d'essai nelvar 1";
// The keys of the header lines "# clé : valeur".
inline constexpr std::string_view kCleDebut = "début";
inline constexpr std::string_view kCleSource = "source";
inline constexpr std::string_view kClePoste = "poste";
inline constexpr std::string_view kCleVolume = "volume (L)";
inline constexpr std::string_view kCleTemperature = "température (°C)";
inline constexpr std::string_view kCleCoefficient = "coefficient (Pa/V)";
inline constexpr std::string_view kClePEtMoinsP = "p et - p";
// The virtual bench's settings, after the source, on the simulated card's
// runs only: "# réaction simulée : θ = 35 °C ; [H2O2]0 = 0,10 mol/L ; ...".
inline constexpr std::string_view kCleReactionSimulee = "réaction simulée";
// The columns, in their order.
inline constexpr std::string_view kEnteteColonnes =
    "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\ttension voie 1 (V)\ttension voie 2 (V)";
inline constexpr int kColonnes = 6;

// The folder is kept under this size by removing the oldest runs first.
inline constexpr std::uintmax_t kTailleMaximale = 50u << 20;

// The shortest text that reads back to the same double, with a decimal
// point; fixed notation for 1e-4 <= |x| < 1e16, scientific otherwise (the
// digits and the layout of Python's repr, without its ".0"):
// 0.1 -> "0.1", 100000 -> "100000", 2.5e-7 -> "2.5e-07", 1e21 -> "1e+21".
// Infinities and NaN give "inf", "-inf", "nan".
std::string NombreExact(double valeur);

// A header line "# clé : valeur" split into its key and value; none for
// another line.
std::optional<std::pair<std::string, std::string>> CleValeur(std::string_view ligne);

// The one reading of a journal's header: its "# clé : valeur" lines, from
// `lignes` (the file's lines after the first), in order, up to the first
// line that is not one; `fin` is that line's index in `lignes` (their count
// when every line is one).
struct EnTeteLu {
    struct Cle {
        std::string cle;
        std::string valeur;
        std::size_t indice = 0; // in `lignes`
    };
    std::vector<Cle> cles;
    std::size_t fin = 0;
};
EnTeteLu LireEnTete(const std::vector<std::string_view>& lignes);

// The start as the header writes it, local time with its offset from UTC
// ("2026-12-07 14:03:52 +0100"), and back (whatever the reader's zone); none
// for a text of another form.
std::string TexteDebut(std::chrono::system_clock::time_point debut);
std::optional<std::chrono::system_clock::time_point> LireDebut(std::string_view texte);

// The journal's folder: $XDG_DATA_HOME/nelvar/essais, else
// $HOME/.local/share/nelvar/essais (a relative or empty XDG_DATA_HOME is
// passed over, as the desktops' rule says); empty when neither is set.
std::string Dossier(const char* xdgDataHome, const char* home);
// The same from the process's environment.
std::string DossierDuProcessus();

// One reading.
struct Lecture {
    double tempsTick = 0;   // s, on the tick count
    double tempsReel = 0;   // s, the monotonic time from the run's first reading
    double pression = 0;    // Pa
    double avancement = 0;  // mol
    double tension1 = 0;    // V
    double tension2 = 0;    // V
};

// The header's text, from its first line to the columns' line, and one
// reading's line, each line ended by "\n": what the journal's file holds.
// The header has a line for each condition known (the start, the computer
// and the numbers only when known).
std::string TexteEnTete(const ConditionsEssai& entete);
std::string TexteLecture(const Lecture& lecture);

// The journal's file name for a run started at `debut` (local time), the
// n-th of that second: "essai_2026-12-07_14-03-52.txt", "..._2.txt"; with
// `poste`, after the time: "essai_2026-12-07_14-03-52_SALLE2-PC07_2.txt".
std::string NomFichier(std::chrono::system_clock::time_point debut, int n, std::string_view poste = {});

// The journal of one run, described by `entete` (its start known: it names
// the file). The file is created at the first reading (a run
// stopped before any reading leaves none) in `dossier`, created as needed;
// the folder is then brought under `tailleMaximale` by removing the oldest
// runs, never this one. Each reading's line goes to the disk before Ajouter
// returns. A write that fails leaves no partial line: the lines not yet
// written wait and are written with the next reading that succeeds, so a
// disk freed during the run still gets the whole run.
class Ecrivain {
public:
    Ecrivain(std::string dossier, ConditionsEssai entete, std::uintmax_t tailleMaximale = kTailleMaximale);
    ~Ecrivain();
    Ecrivain(const Ecrivain&) = delete;
    Ecrivain& operator=(const Ecrivain&) = delete;

    // Appends the reading. Returns the French message of the run's first
    // failure, once; nothing otherwise (later failures are silent).
    std::optional<std::string> Ajouter(const Lecture& lecture);

    // The file's path once created; empty before.
    const std::string& Chemin() const { return chemin_; }

private:
    bool Creer(int& erreur);
    bool Ecrire(int& erreur);

    std::string dossier_;
    ConditionsEssai entete_;
    std::uintmax_t tailleMaximale_;
    std::string chemin_;
    int fd_ = -1;
    std::string enAttente_;      // text not yet on the disk
    std::uintmax_t tailleEcrite_ = 0; // bytes of whole lines in the file
    bool erreurDite_ = false;
};

// The runs of the journal in `dossier`, oldest first (by start): the files
// named as the journal names them whose first line is the journal's.
struct EssaiDuJournal {
    std::string chemin;
    std::optional<std::chrono::system_clock::time_point> debut; // none: unreadable header
    std::string source;
    std::string poste;
};
std::vector<EssaiDuJournal> Essais(const std::string& dossier);

// Removes the oldest runs of `dossier` (the files named as the journal
// names them) until their total size is at most `tailleMaximale`; `garder`
// is never removed.
void Elaguer(const std::string& dossier, const std::string& garder, std::uintmax_t tailleMaximale);

} // namespace Journal
