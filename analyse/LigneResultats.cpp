#include "analyse/LigneResultats.h"

#include "analyse/TexteResultat.h"
#include "journal/LectureEssai.h"

#include <iterator>

namespace Cinetique {

std::string LigneResultats(const std::string& chemin, const Resultat& r, char separateur)
{
    const std::string remarques = TexteRemarques(r, separateur);
    const std::string champs[] = {
        CheminAffichable(chemin),         std::to_string(r.points), NombreResultat(r.debut, separateur),
        NombreResultat(r.fin, separateur),            NombreResultat(r.k, separateur),      NombreResultat(r.uK, separateur),
        NombreResultat(r.tDemi, separateur),          NombreResultat(r.uTDemi, separateur), NombreResultat(r.tDemiGraphique, separateur),
        NombreResultat(r.pa, separateur),             NombreResultat(r.pInf, separateur),   NombreResultat(r.uPInf, separateur),
        NombreResultat(r.xFinal, separateur),         NombreResultat(r.uXFinal, separateur), NombreResultat(r.r2, separateur),
        remarques,
    };
    std::string ligne = champs[0];
    for (std::size_t i = 1; i < std::size(champs); ++i)
        ligne += "\t" + champs[i];
    return ligne + "\n";
}

std::string CheminAffichable(std::string_view chemin)
{
    std::string texte = EnUtf8(chemin);
    for (char& c : texte)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return texte;
}

Resultat AnalyserEnregistrement(const Enregistrement& essai, Options options)
{
    if (!options.volume)
        options.volume = essai.conditions.volume;
    if (!options.temperature)
        options.temperature = essai.conditions.temperature;
    options.lecture = essai.lecture;
    return Analyser(essai.points, options);
}

} // namespace Cinetique
