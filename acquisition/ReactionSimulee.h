#pragma once
// The virtual bench: the reaction the simulated card shows, a small physical
// model of the school's kinetic-factors lab. Hydrogen peroxide decomposes
// with iodide ions as catalyst, 2 H2O2 -> 2 H2O + O2, in a closed flask
// standing in a water bath; the manometer reads the oxygen's pressure.
//
//   rate        v = k·[H2O2], k = k'(T)·[I-]           (first order in each)
//   Arrhenius   k'(T) = k'(Tref)·exp(-Ea/R·(1/T - 1/Tref)), Ea = 56 kJ/mol
//   oxygen      n(O2) at the end = [H2O2]0·V_solution / 2
//   pressure    Δp(t) = n(O2)·R·T / V_gas · (1 - exp(-k·t))
//
// The reference state is the bench's defaults, which are today's
// demonstration: at 20 °C with 0,10 mol/L of iodide, k = 1/120 s⁻¹ (t½ =
// 83,2 s), and the flask's 250 mL of gas over 50 mL of solution rise by
// 300 hPa, which sets the default peroxide concentration (0,123 mol/L).
// Every quantity is computed as its reference value times ratios of the
// settings to the defaults, so that the defaults give exactly today's curve,
// and any other setting the same laws. Plain C++.
//
//   ConstanteDeVitesse({})                        -> 1/120 s⁻¹
//   ConstanteDeVitesse({.catalyseur = 0.20, ...}) -> 2/120 s⁻¹
//   MonteeDePression({})                          -> 30 000 Pa
//   QuantiteOxygene({})                           -> 3,0771 mmol
//
// Limits: one step, no side reaction, the oxygen ideal and wholly in the gas
// (none stays dissolved), the bath's temperature that of the gas and
// constant, the catalyst never used up.
#include "kinetics/Constantes.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace Banc {

// The physical constants of the model are the exact ones the class
// synthesis uses (kinetics/Constantes.h), not the run's rounded 8,314 and 273
// that the saved files keep.
inline constexpr double kR = Constantes::kConstanteGazExacte; // J·mol⁻¹·K⁻¹
inline constexpr double kZeroCelsius = Constantes::kZeroCelsiusExact; // K

// The reaction's activation energy: the literature's order of magnitude for
// the iodide-catalysed decomposition (about 56 kJ/mol).
inline constexpr double kEnergieActivation = 56000; // J/mol

// The reference state: today's demonstration.
inline constexpr double kTemperatureReference = 20;        // °C
inline constexpr double kCatalyseurReference = 0.10;       // mol/L
inline constexpr double kVolumeSolutionReference = 50;     // mL
inline constexpr double kVolumeGazReference = 250;         // mL
inline constexpr double kConstanteReference = 1.0 / 120;   // s⁻¹, t½ = 83,2 s
inline constexpr double kMonteeReference = 30000;          // Pa
// The peroxide concentration that gives that rise: 2·Δp·V_gas/(R·T·V_solution).
// With the volumes in mL: n = Δp·V_gas·1e-6/(R·T) mol, in V_solution·1e-3 L.
inline constexpr double kConcentrationReference = 2 * kMonteeReference * kVolumeGazReference * 1e-3
                                                  / (kR * (kTemperatureReference + kZeroCelsius)
                                                     * kVolumeSolutionReference); // mol/L

// The bench's settings, in the units the dialog shows.
struct Reaction {
    double temperature = kTemperatureReference;         // °C, the water bath
    double concentration = kConcentrationReference;     // mol/L, [H2O2]0
    double catalyseur = kCatalyseurReference;           // mol/L, [I-]
    double volumeSolution = kVolumeSolutionReference;   // mL
    double volumeGaz = kVolumeGazReference;             // mL, the flask's gas
    bool operator==(const Reaction&) const = default;
};

// The bounds a setting must keep (a liquid bath, a school flask, solutions
// a class handles), each checked with its French message.
struct Bornes {
    double minimum;
    double maximum;
};
inline constexpr Bornes kBornesTemperature{0, 90};      // °C
inline constexpr Bornes kBornesConcentration{0.001, 2}; // mol/L
inline constexpr Bornes kBornesCatalyseur{0.001, 1};    // mol/L
inline constexpr Bornes kBornesVolumeSolution{1, 1000}; // mL
inline constexpr Bornes kBornesVolumeGaz{50, 5000};     // mL (the window's 0,05 to 5 L)

// Nothing when every setting is within its bounds; else the French message
// for the first that is not (« La température du bain doit être comprise
// entre 0 et 90 °C. »).
std::optional<std::string> Erreur(const Reaction& reaction);

// The rate constant k = k'(T)·[I-], s⁻¹.
double ConstanteDeVitesse(const Reaction& reaction);
// The oxygen given off once the peroxide is gone, mol.
double QuantiteOxygene(const Reaction& reaction);
// The pressure rise once the reaction is over, Pa.
double MonteeDePression(const Reaction& reaction);

// The settings as the run journal's header line (journal/JournalEssai.h)
// and the window say them:
// "θ = 35 °C ; [H2O2]0 = 0,10 mol/L ; [I-] = 0,10 mol/L ; V solution = 50 mL ;
// V gaz = 300 mL" (temperature and volumes to 0,1, concentrations to 0,001,
// each without trailing zeros beyond those shown: 0,10, 0,123, 35, 22,5).
std::string Texte(const Reaction& reaction);

// The settings shared between the window, which changes them, and the
// simulated card, which reads them on the acquisition's thread: guarded,
// with a version that tells the card to start a new reaction.
class Reglages {
public:
    Reaction Lire() const;
    std::uint64_t Version() const;
    void Regler(const Reaction& reaction);

private:
    mutable std::mutex garde_;
    Reaction reaction_;
    std::uint64_t version_ = 0;
};

} // namespace Banc
