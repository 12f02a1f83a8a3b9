#pragma once
// The class folder: a folder every bench of the room can write (a folder of
// the school's network share), where each run's journal is also copied so
// that the teacher finds the whole class's runs in one place. Plain C++.
//
// The copy is named after the run's start and the bench, so that two benches
// never pick the same name: "essai_2026-12-08_10-32-00_SALLE2-PC07.txt" (a
// second run of that second, or a bench of the same name, gets "_2"...). It
// is written whole to a new file of the folder, then renamed over that name,
// at the run's first reading, then once a period during the run, and at its
// end: a reader of the folder sees the copy as it was at one of those
// moments, whole lines only, never a file being written (the new file has no
// name, or a hidden one: ".essai_....txt.<pid>-<n>.tmp"). The local journal
// stays the safe copy: a folder that cannot be reached is told once a run
// and tried again at each period, and at the end.
#include "journal/JournalEssai.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace Journal {

// The environment variable that names the class folder for the whole room.
inline constexpr const char* kVariableClasse = "NELVAR_CLASSE";
// How often the copy is written during a run.
inline constexpr std::chrono::seconds kPeriodeCopie{10};

// The class folder in use and where it comes from.
struct DossierDeLaClasse {
    std::string chemin;            // empty: none, runs are not copied
    bool parEnvironnement = false; // set by NELVAR_CLASSE, which wins over the setting
};
// The environment variable's value when set and not empty, else the
// setting (the window's « Dossier de la classe… »).
DossierDeLaClasse ResoudreDossierClasse(const char* variable, std::string_view reglage);

// The computer's name as it may stand in a file name on any share: ASCII
// letters, digits, '-' and '.'; every run of other characters becomes one
// '-', and none begins or ends the name; at most 63 characters.
// "SALLE2-PC07" -> "SALLE2-PC07", "poste élève 3" -> "poste-l-ve-3".
std::string NomDuPoste(std::string_view machine);

// The copy of one run in the class folder.
class CopieClasse {
public:
    using Horloge = std::chrono::steady_clock;

    // The run described by `entete` (its start, its bench in `poste`), copied
    // to `dossier`, which is never created: a share that is not mounted
    // must not be replaced by a local folder of the same name.
    CopieClasse(std::string dossier, const ConditionsEssai& entete, Horloge::duration periode = kPeriodeCopie);

    // Adds the reading's line, then writes the copy when none was tried yet
    // or a period has passed at `instant` since the last try. Returns the
    // French message to tell when the folder cannot be written, once a run.
    std::optional<std::string> Ajouter(const Lecture& lecture, Horloge::time_point instant);
    // The run's end: writes the copy unless it holds every line already.
    // Returns the French message to tell when it cannot be written.
    std::optional<std::string> Terminer();

    // The copy's path once written; empty before.
    const std::string& Chemin() const { return chemin_; }
    // Whether the copy holds every line given.
    bool AJour() const { return aJour_; }
    const std::string& Dossier() const { return dossier_; }

private:
    // Writes the copy; on failure, the reason in French ("dossier introuvable").
    std::optional<std::string> Ecrire();

    std::string dossier_;
    std::chrono::system_clock::time_point debut_;
    std::string poste_;
    Horloge::duration periode_;
    std::string texte_; // the journal's text, as the local journal writes it
    std::string chemin_;
    std::optional<Horloge::time_point> dernierEssai_;
    bool aJour_ = false;
    bool echecDit_ = false;
};

} // namespace Journal
