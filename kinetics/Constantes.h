#pragma once
// The physical constants and unit factors of the program, each named once.
//
// Two gas constants and two zeros of the Celsius scale live side by side on
// purpose:
//   - a run's extent, x = p·V / (R·T), and the typed temperature's kelvins
//     use the rounded values 8,314 and 273. Every run's journal, export and
//     report since the first version was computed with them, and a saved run
//     read back must give the very amounts it was written with; changing them
//     would move every x (by 0,06 % at 20 °C) against the files the classes
//     keep.
//   - the class synthesis fits ln k against 1/T across runs, where no amount
//     is saved: it takes the exact values (R fixed by the SI since 2019,
//     0 °C = 273,15 K), so that an activation energy agrees with the
//     textbooks' to the digits it shows.

namespace Constantes {

// The gas constant (J/(mol K)) of a run's amounts, as the saved runs hold it.
inline constexpr double kConstanteGazEssai = 8.314;
// 0 °C in K as a run converts the typed temperature, as the saved runs hold it.
inline constexpr double kZeroCelsiusEssai = 273;

// The exact gas constant (J/(mol K)), N_A·k_B, of the class synthesis.
inline constexpr double kConstanteGazExacte = 8.314462618;
// 0 °C in K, exact, as the class synthesis converts a run's temperature.
inline constexpr double kZeroCelsiusExact = 273.15;

// Amounts are computed in mol and shown in mmol.
inline constexpr double kMmolParMol = 1000;
// Volumes are typed and shown in litres, computed in m³.
inline constexpr double kLitresParM3 = 1000;

} // namespace Constantes
