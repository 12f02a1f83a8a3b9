#include "classe/TexteClasse.h"

namespace TexteClasse {

namespace {

std::vector<std::string> Champs(const std::string& ligne)
{
    std::vector<std::string> champs;
    std::size_t debut = 0;
    for (;;) {
        const std::size_t tab = ligne.find('\t', debut);
        champs.push_back(ligne.substr(debut, tab == std::string::npos ? std::string::npos : tab - debut));
        if (tab == std::string::npos)
            return champs;
        debut = tab + 1;
    }
}

} // namespace

Decoupe Decouper(const std::string& texte)
{
    Decoupe decoupe;
    bool entete = true, conclusions = false;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        if (fin == std::string::npos)
            fin = texte.size();
        const std::string ligne = texte.substr(debut, fin - debut);
        debut = fin + 1;
        if (entete) {
            decoupe.entetes = Champs(ligne);
            entete = false;
        } else if (!conclusions && ligne.empty()) {
            conclusions = true;
        } else if (conclusions) {
            if (!ligne.empty())
                decoupe.conclusions.push_back(Champs(ligne));
        } else {
            decoupe.lignes.push_back(Champs(ligne));
        }
    }
    return decoupe;
}

} // namespace TexteClasse
