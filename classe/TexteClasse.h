#pragma once
// The text of a class synthesis (Classe::TexteSynthese: the header line, one
// row per run, an empty line, the conclusions) cut into its cells, so that
// the synthesis window and the class report show the very texts the command
// line writes. Plain C++.
#include <string>
#include <vector>

namespace TexteClasse {

struct Decoupe {
    std::vector<std::string> entetes;                  // the header's fields
    std::vector<std::vector<std::string>> lignes;      // one a run, in the text's order
    std::vector<std::vector<std::string>> conclusions; // name, value, standard uncertainty
};

// Fields split at each TAB; lines at each "\n". The rows end at the first
// empty line, the conclusions follow it.
Decoupe Decouper(const std::string& texte);

} // namespace TexteClasse
