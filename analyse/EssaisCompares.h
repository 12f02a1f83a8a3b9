#pragma once
// The runs the analysis window lists and compares: the session's runs (the
// main window keeps the last kEssaisGardes, each with its start), the files
// opened, then the runs of any other source (files on disk of earlier
// sessions). Each entry has a name, an optional start, an optional file and
// either its points or a loader called the first time they are needed. The
// ticked entries are analysed (analyse/AnalyseEssai.h) and give their extent
// curve and one row of the comparison table. Plain C++.
//
// Another source of runs adds one entry per run, listed after the session's
// own and the opened files, loaded only when the user ticks it:
//
//   essais.Ajouter({.nom = chemin, .debut = debut, .chemin = chemin,
//                   .provenance = Provenance::Archive,
//                   .charger = [chemin] { return LireEssaiArchive(chemin); }});
//
// A run is listed once: an entry is the same run as another when both have
// the same file, or both have a start and the two are within kMemeDebut (a
// file records its run's start to the second). A session run always wins:
// adding it takes off a listed entry of the same run, and an entry of the
// same run as a listed one is not added.
#include "analyse/AnalyseEssai.h"
#include "essai/Essai.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The listing order: the session's runs, the opened files, other sources.
enum class Provenance { Seance, Fichier, Archive };

struct EntreeEssai {
    std::string nom; // "Essai 3", or a file's path
    std::optional<std::chrono::system_clock::time_point> debut;
    std::optional<std::string> chemin; // the run's file, when it has one
    Provenance provenance = Provenance::Fichier;
    // The run's points, when they are not given with the entry. Raises
    // Exception (its message is shown instead of the results).
    std::function<DonneesEssai()> charger;
    // The computer that measured it, when known before its points are
    // loaded (a journal's listing); the points' own, once loaded, win.
    std::string poste = {};
};

// One row of the comparison table, texts as shown (decimal separator of the
// process, each value rounded to its uncertainty, "—" when unknown).
struct LigneComparaison {
    std::string essai, poste, volume, temperature, points, xFinal, k, tDemi, pInitiale;
};

class EssaisCompares {
public:
    // Session runs kept: the oldest goes beyond this.
    static constexpr int kEssaisGardes = 20;
    static constexpr std::chrono::milliseconds kMemeDebut{1000};
    // The table's headers, in the order of LigneComparaison.
    static constexpr const char* kEntetes[] = {"Essai",      "Poste",   "V (L)",           "θ (°C)",
                                               "Points",     "x_f (mmol)", "k (s⁻¹)", "t½ (modèle) (s)",
                                               "p initiale (Pa)"};

    // The session's run `essai`, shared read-only and named `nom` ("Essai
    // N"), dated by its start: a new entry, or nothing when it is listed
    // already. Its readings are converted (DonneesDeLEssai) when its
    // analysis is asked for and the run has grown since the last one: a tick
    // costs the list nothing.
    void GarderEssai(std::shared_ptr<const ::Essai> essai, std::string nom);
    // A new entry, with its points or with `entree.charger`. False when the
    // same run is listed already: a listed file's entry then takes the new
    // points, if any.
    bool Ajouter(EntreeEssai entree, std::optional<DonneesEssai> donnees = std::nullopt);
    // The volume (L) and temperature (°C) typed for the entry named `nom`.
    void SetConditions(const std::string& nom, std::optional<double> volume, std::optional<double> temperature);

    int Nombre() const { return static_cast<int>(elements_.size()); }
    const EntreeEssai& Entree(int i) const { return Essai(i).entree; }
    // The run's short name: its start's date and time, "07/12 10:32" (local
    // time), or without a start its file's name, or its name.
    std::string Nom(int i) const;
    // What the list and the legend show: the short name, the computer that
    // measured it and the conditions when they are known,
    // "07/12 10:32, SALLE2-PC07, V = 0,30 L, θ = 25 °C".
    std::string Libelle(int i, char separateur) const;
    // The computer that measured entry i; empty when unknown.
    std::string Poste(int i) const;
    // The entry's colour number, kept for the entry's life (a series palette
    // index): ticking others does not change a curve's colour.
    int Couleur(int i) const { return Essai(i).couleur; }
    // The index of the entry named `nom`; -1 when none.
    int Indice(const std::string& nom) const;

    bool Coche(int i) const { return Essai(i).coche; }
    void Cocher(int i, bool coche);
    std::vector<int> Coches() const;

    // The analysis of entry i, loaded and made the first time it is asked
    // for and again after the entry's points or conditions change; null when
    // the loader failed (Erreur says why).
    const AnalyseEssai* Analyse(int i);
    std::string Erreur(int i);
    // The measured extent of entry i, (t in s, x in mmol); empty without V
    // and T or points.
    std::vector<std::pair<double, double>> Courbe(int i);
    LigneComparaison Ligne(int i, char separateur);
    // The table of the ticked runs as copied: kEntetes then one row each,
    // TAB separated, each line ended by "\n".
    std::string TexteTableau(char separateur);

    // Changes with every change of the list or of an entry's points (a
    // session run's new reading too): the window redraws when it moved.
    unsigned Version() const;

private:
    struct Element {
        EntreeEssai entree;
        int couleur = 0;
        bool coche = false;
        std::optional<DonneesEssai> donnees;
        std::shared_ptr<const ::Essai> essai; // a session run: donnees made from it
        int lectures = 0;                     // its readings when donnees were made
        std::optional<AnalyseEssai> analyse; // made from donnees
        std::string erreur;                  // the loader's
        bool charge = false;                 // donnees given or loader tried
    };
    const Element& Essai(int i) const;
    Element& Essai(int i);
    Element& Charger(int i); // the points loaded when they were not
    void Inserer(Element element);
    static bool MemeEssai(const EntreeEssai& a, const EntreeEssai& b);

    std::vector<Element> elements_;
    int prochaineCouleur_ = 0;
    unsigned version_ = 0;
};
