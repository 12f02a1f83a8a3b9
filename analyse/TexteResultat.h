#pragma once
// The French texts of a run's analysis: its numbers as the text outputs
// write them and the sentences of its remarks, written from the data the
// analysis returns (kinetics/AnalyseCinetique.h), with the decimal separator
// the caller passes. The one place these sentences are written: the results
// row, the analysis window, the report and the class synthesis all call it.
// Plain C++.
//
//   NombreResultat(0.0384442, ',')            -> "0,0384442"
//   NombreResultat(NaN, ',')                  -> ""
//   TexteRemarque({.genre = DebutDetecte, .t = 12.5}, ',')
//     -> "Début de la réaction détecté à t = 12,5 s : les points précédents (ligne de base) sont écartés."
#include "kinetics/AnalyseCinetique.h"

#include <optional>
#include <string>

namespace Cinetique {

// A result's number as the text outputs write it (nelvar --analyse, the
// class synthesis, the copies): the program's general format with
// kChiffresResultats significant digits; empty for a value that is not
// finite or not there.
inline constexpr int kChiffresResultats = 6;
std::string NombreResultat(double valeur, char separateur);
std::string NombreResultat(const std::optional<double>& valeur, char separateur);

// The sentence of one remark, with the numbers it names.
std::string TexteRemarque(const DetailRemarque& remarque, char separateur);

// The result's remarks' sentences, in their order, separated by a space;
// empty without remarks.
std::string TexteRemarques(const Resultat& r, char separateur);

} // namespace Cinetique
