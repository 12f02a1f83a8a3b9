#pragma once
// How the class synthesis words its conclusions for the window and the
// reports: the factor's name with its French article, and a conclusion's
// value rounded to its uncertainty (analyse/AnalyseEssai.h's
// ArrondiIncertitude: "50,002 ± 0,026 kJ/mol"). The command line keeps every
// digit (Classe::Cellules). Plain C++.
#include "classe/SyntheseClasse.h"

#include <string>

namespace Classe {

// The factor's name with its definite article: "la concentration initiale",
// "le volume de solution", "l'agitation". A name the teacher typed with its
// article ("les billes de zinc") stays as typed. The gender is guessed from
// the first word: a few masculine nouns of the lab are known; otherwise a
// word ending in "e", "ion", "té" or "eur" is taken as feminine.
std::string AvecArticle(const std::string& nom);
// The same after "de": "de la concentration initiale", "du volume", "de
// l'agitation", "des billes de zinc".
std::string AvecDe(const std::string& nom);

// A conclusion's value as the window and the reports write it: its sentence;
// or its value and uncertainty rounded together, with its unit (J/mol above
// 1 000 written in kJ/mol); or, without uncertainty, its value with 4
// significant digits; its numbers written with `separateur`.
std::string TexteArrondi(const Conclusion& conclusion, char separateur);

} // namespace Classe
