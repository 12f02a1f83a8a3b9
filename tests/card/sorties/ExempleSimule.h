#pragma once
// The example measurement, made as the program makes a measurement: the card
// component on the simulated card, read once a tick for a number of ticks,
// the pressure computed as in the "Oui" mode (p = (U1 - U2) / 2 x
// coefficient) and stored row by row, then saved through the component's own
// save (EnregistrerMesuresSous, the dialog answering with the file's name).
// A virtual clock paces the ticks, so the run takes no real time and gives
// the same bytes every time.
#include <string>

namespace ExempleSimule {

inline constexpr int kPoints = 300;
inline constexpr double kCoefficient = 100000; // Pa/V, the program's default
inline constexpr double kPeriode = 1.00013;    // s between two ticks

// Runs the measurement and saves it in `fichier`. Leaves the card unit's
// state (RepertoireCourant, NomDernierFichier) as the save leaves it.
void EnregistrerMesure(const std::string& fichier);

} // namespace ExempleSimule
