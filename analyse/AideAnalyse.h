#pragma once
// The analysis window's help page "Aide" for the students: what t½, k, τ,
// the first-order test, the rate and a standard uncertainty mean, each with
// the program's own numbers on the simulated card's demonstration run
// (acquisition/DemonstrationSignal.h): five minutes of readings, one a
// second, analysed by the window's analysis (analyse/AnalyseEssai.h) at
// V = 0,25 L and 20 °C. Plain C++; the text is HTML for a text browser.
#include "analyse/AnalyseEssai.h"

#include <string>

// The demonstration run the page analyses: kPointsDemonstration points, one
// each kPeriodeDemonstration s, with the signal's own noise.
inline constexpr int kPointsDemonstration = 300;
inline constexpr double kPeriodeDemonstration = 1.00013; // s, the main window's tick
DonneesEssai EssaiDeDemonstration();

// The page, from the analysis of that run (its numbers in the process's
// decimal separator, rounded as the window rounds them).
std::string PageAide(const AnalyseEssai& demonstration, char separateur);
