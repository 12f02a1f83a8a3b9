#pragma once
// The example measurement that ships with the program: a run of 300 points
// of the simulated card's demonstration (a gas given off in a closed vessel,
// pressure from a manometer giving p and -p on channels 1 and 2, coefficient
// 100 000 Pa/V), saved by the program's own save in the file format of every
// measurement file (layout 0: time and pressure). It is placed in the output
// folder "Valeurs" when a numbered save creates that folder, so that a class
// has a file to open in a spreadsheet before its first run.
//
// The bytes are generated, with card/sorties/data/Exemple.txt, by the tool
// card_exemple_generer (tests/card/sorties/GenererExemple.cpp); a test checks
// that both still match what the program's code writes.
#include <string_view>

namespace ExempleMesures {

// Its name in "Valeurs": never one of the numbered names MesuresN.txt.
inline constexpr const char* kNomFichier = "Exemple.txt";

// The file's bytes (Windows-1252 text, lines ended by CR, then CR LF).
std::string_view Contenu();

} // namespace ExempleMesures
