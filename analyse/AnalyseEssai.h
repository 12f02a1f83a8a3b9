#pragma once
// What the analysis window shows, without the window: a run's points (from
// the main window's result table or from a saved file), its conditions and
// interval, the kinetic analysis of it (kinetics/AnalyseCinetique.h) and the
// texts and values the window draws and copies. Plain C++.
//
// Units: t in s, p in Pa, x in mol, V in L and T in °C as typed; the window
// charts x in mmol.
//
// Rounding to the uncertainty (ArrondiIncertitude): the uncertainty keeps two
// significant digits when its first digit is 1 or 2, one otherwise, and the
// value is rounded at the same decimal place; small and large values carry
// a power of ten in front of the unit:
//   (2.9312e-3, 1.234e-5, "mol")  -> "(2,931 ± 0,012)·10⁻³ mol"
//   (83.214, 0.47, "s")           -> "83,2 ± 0,5 s"
//   (83.214, 1.63, "s")           -> "83,2 ± 1,6 s"
#include "kinetics/AnalyseCinetique.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The points of one run and what is known of its conditions.
struct DonneesEssai {
    std::string nom;                         // "Essai 3", or the opened file's path
    std::vector<Cinetique::Point> points;    // t (s), p (Pa); t the time the analysis uses
    // mol, as recorded, one a point (none: that reading's extent is missing,
    // shown empty, never as 0 mol); empty: worked out from p, V and T.
    std::vector<std::optional<double>> avancements;
    std::optional<double> volume;            // L
    std::optional<double> temperature;       // °C
    bool fichier = false;                    // opened from a file: V and T typed in the window

    // When the points' times are the readings' real times: each point's time
    // on the tick count (s), to tell the readings a stalled PC delayed.
    // Empty when the points carry the tick times themselves.
    std::vector<double> tempsTicks;
    // What else is known of the run, for the lists and the report: its start,
    // the source of its measurements ("carte d'acquisition", "carte
    // simulée", "boîtier USB, capteur ...") and the coefficient (Pa/V).
    std::optional<std::chrono::system_clock::time_point> debut;
    std::string source;
    std::optional<double> coefficient;
    // The computer that measured it (its host name); empty when unknown.
    std::string poste;
    // What the reading of a file said: each point's line, the unit converted.
    Cinetique::Lecture lecture;
};

// Readings whose real time differs from their tick time by more than this
// came late (s).
inline constexpr double kRetardLecture = 0.25;

// "value ± uncertainty unit", both rounded as the header says; a value
// without uncertainty (or a zero one) is written with 4 significant digits.
std::string ArrondiIncertitude(double valeur, double incertitude, const std::string& unite, char separateur);

// The power of ten written in front of a unit for values up to `valeur`
// (0 between 0,01 and 10 000), and its text "10⁻⁵" (empty for 0).
int ExposantAffiche(double valeur);
std::string PuissanceDeDix(int exposant);

// Times written to the millisecond: the results' and the report's.
inline constexpr int kDecimalesTemps = 3;

// `valeur` with `decimales` digits after the decimal separator: times and
// extents written to their resolution ("52,005").
std::string Decimales(double valeur, int decimales, char separateur);

// `valeur` with `chiffres` significant digits, and the same power of ten in
// front of the unit for small and large values: "1,75·10⁻⁵ mol/s".
std::string AvecPuissance(double valeur, int chiffres, const std::string& unite, char separateur);

// A dashed mark of the analysis chart: a horizontal line at a value of the
// chart's unit, or a vertical one at a time (s), and its label, which says
// where the line stands ("t_a + t½ = 135,3 s"; "_" starts a subscript).
struct MarqueAnalyse {
    bool horizontale = false;
    double position = 0;
    std::string texte;
};

class AnalyseEssai {
public:
    // New points; the interval and the conditions typed for a file are kept
    // when the run is the same one (same name), else reset to the run's own.
    void SetDonnees(DonneesEssai donnees);
    const DonneesEssai& Donnees() const { return donnees_; }

    // The conditions (opened files only take them from the window).
    void SetConditions(std::optional<double> volume, std::optional<double> temperature);
    // The interval's ends, s; none: the run's first or last point.
    void SetIntervalle(std::optional<double> debut, std::optional<double> fin);
    std::optional<double> Debut() const { return debut_; }
    std::optional<double> Fin() const { return fin_; }

    // The points the user leaves out (Ctrl+click): point i's exclusion
    // toggled, and the last toggle undone (false when there is none). Kept
    // while the run is the same one, as the interval.
    void BasculerExclusion(int i);
    bool AnnulerExclusion();
    bool Exclu(int i) const;

    // Analyses the points again. A refusal of the analysis leaves Valide()
    // false and its message in Erreur().
    void Recalculer();
    bool Valide() const { return resultat_.has_value(); }
    const std::string& Erreur() const { return erreur_; }
    const Cinetique::Resultat& Resultat() const { return *resultat_; }
    // The volumetric rate at each point of the interval and the first-order
    // linear test; empty when V or T is missing or the analysis failed. Each
    // is worked out the first time it is asked for after an analysis (a
    // window redrawn at each tick shows one of them at a time).
    const std::vector<Cinetique::PointVitesse>& Vitesses() const;
    const std::optional<Cinetique::TestOrdreUn>& Test() const;

    // The first-order test's line, as written beside its chart: "pente =
    // 8,33·10⁻³ s⁻¹ (= k) ; ordonnée à l'origine = 0 ; R² = 0,99987"; empty
    // without a test. The line is fitted through the origin.
    std::string TexteTest(char separateur) const;

    int Points() const { return static_cast<int>(donnees_.points.size()); }
    // The readings that came late: real and tick times more than
    // kRetardLecture apart; 0 when the tick times are the only ones.
    int LecturesEnRetard() const;
    // Extent of point i, mol: the recorded one, else (p - p0)·V/(R·T);
    // none without V and T for a file.
    std::optional<double> Avancement(int i) const;
    // The model's extent and its slope dx/dt at t (mol, mol/s), and the
    // volumetric rate v = (1/V)·dx/dt (mol·L⁻¹·s⁻¹); none without V and T or
    // a valid analysis.
    std::optional<double> AvancementModele(double t) const;
    std::optional<double> PenteModele(double t) const;
    std::optional<double> VitesseModele(double t) const;
    // The index of the point whose time is nearest to t; -1 without points.
    int PointLePlusProche(double t) const;

    // The tangent asked for at time t (s), kept for the same run; none: no
    // tangent. Its line of the results, "Tangente", when the model and the
    // conditions give it: "à t = 52,005 s : dx/dt = 1,75·10⁻⁵ mol/s ;
    // v = 5,83·10⁻⁵ mol·L⁻¹·s⁻¹".
    void SetTangente(std::optional<double> t) { tangente_ = t; }
    std::optional<double> Tangente() const { return tangente_; }
    std::optional<std::pair<std::string, std::string>> LigneTangente(char separateur) const;

    // The marks of the chart: the final value, the half-way value, t_a + t½
    // and t_a + τ (τ = 1/k, where the tangent at t_a meets the final value),
    // in mmol, or in Pa without V and T (the chart then shows the
    // pressures); none without a valid analysis.
    std::vector<MarqueAnalyse> Marques(char separateur) const;

    // The results panel: one (label, value) per line.
    std::vector<std::pair<std::string, std::string>> LignesResultats(char separateur) const;
    // Copies: the command line's header and row for this run (with a
    // tangent, three more columns: its time, dx/dt and v), and the whole
    // table (t, p, x, model x, v) with 6 significant digits. Both "\n" ended
    // lines, TAB separated.
    std::string TexteResultats(char separateur) const;
    std::string TexteTableau(char separateur) const;

    // m³·(R·T)⁻¹ factor: mol per Pa; none without V and T. Worked out when
    // the conditions change.
    std::optional<double> MolParPascal() const { return molParPascal_; }

private:
    Cinetique::Options Options() const;
    void CalculerMolParPascal();

    DonneesEssai donnees_;
    std::optional<double> debut_, fin_;
    std::optional<double> tangente_;
    std::vector<double> exclus_;      // s, the excluded points' times
    std::vector<double> basculements_; // s, the toggles made, the last at the end
    std::optional<Cinetique::Resultat> resultat_;
    std::string erreur_;
    std::optional<double> molParPascal_;
    mutable std::optional<std::vector<Cinetique::PointVitesse>> vitesses_; // once asked for
    mutable std::optional<std::optional<Cinetique::TestOrdreUn>> test_;    // once asked for
};

class Essai;

// The analysis's input from a run, the one conversion every view of a run
// makes (the analysis window, the runs compared): named `nom`, each reading
// at its real time with its tick time in tempsTicks and its recorded extent
// (missing where the reading's is), and the run's conditions.
DonneesEssai DonneesDeLEssai(const Essai& essai, std::string nom);

// A saved run or a run journal as the analysis window takes it: the
// journal's real times, tick times, V and T, start, source and coefficient;
// a saved file's points with `volume` and `temperature` (the window's
// fields). Named by its path. Raises EEssaiIllisible.
DonneesEssai DonneesEssaiEnregistre(const std::string& chemin, std::optional<double> volume,
                                    std::optional<double> temperature);
