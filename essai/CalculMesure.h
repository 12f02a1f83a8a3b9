#pragma once
// The arithmetic of one measured point, carried in extended precision with
// the framework's floating-point errors (runtime/CheckedFloat.h): each step
// raises EInvalidOp, EZeroDivide or EOverflow where it fails.
//
//   Pression(false, 1.0, 0.0, 100000)          -> 100000 Pa   (Coefficient × U1)
//   Pression(true, 0.5, -0.5, 100000)          -> 50000 Pa    ((U1 - U2) / 2 × Coefficient)
//   Quantite(100000, 0.00025, 293)             -> 0.0102627 mol  (p × V / (R × T))
//   Quantite(102000, ...) - Quantite(100000, ...) -> 0.000205254 mol
#include "kinetics/ConditionsMesure.h"

namespace CalculMesure {

long double Pression(bool pEtMoinsP, double tensionVoie1, double tensionVoie2, double coefficient);
long double Quantite(long double pression, double volume, double temperature);

} // namespace CalculMesure
