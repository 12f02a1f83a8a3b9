#pragma once
// One run's results as one row of tab-separated text, the row that
// `nelvar --analyse` writes under its header and the analysis window copies:
// the path, the number of points of the interval, then the numbers in the
// program's general format (NombreResultat) with the separator passed, an
// empty field for a value that does not exist, and the remarks' French
// sentences; with the path as the text outputs show it, and the analysis of
// a saved run as that row gives it. Plain C++.
#include "journal/LectureEssai.h"
#include "kinetics/AnalyseCinetique.h"

#include <string>
#include <string_view>

namespace Cinetique {

inline constexpr std::string_view kEnteteResultats =
    "fichier\tpoints\tdebut (s)\tfin (s)\tk (s-1)\tu(k) (s-1)\tt1/2 (s)\tu(t1/2) (s)\tt1/2 graphique (s)\t"
    "p initiale (Pa)\tp finale (Pa)\tu(p finale) (Pa)\tx finale (mol)\tu(x finale) (mol)\tR2\tremarque";

// One row of results, as the mode writes it under kEnteteResultats, ended
// by "\n": `chemin` is the first field. The analysis window copies the same
// row.
std::string LigneResultats(const std::string& chemin, const Resultat& r, char separateur);

// A path as the text outputs write it, in a field or a message: UTF-8 (a
// path that is not is read as Windows-1252), its control characters (tabs,
// line ends) written as '?'.
std::string CheminAffichable(std::string_view chemin);

// A saved run analysed as `nelvar --analyse` analyses each file: `options`
// as given, the journal's own V and T where they give none, the reading's
// remarks (the unit converted, the lines of the points). Raises
// EAnalyseImpossible.
Resultat AnalyserEnregistrement(const Enregistrement& essai, Options options);

} // namespace Cinetique
