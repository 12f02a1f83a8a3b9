#include "analyse/LigneResultats.h"

#include "journal/LectureEssai.h"

#include <iterator>

namespace Cinetique {

std::string LigneResultats(const std::string& chemin, const Resultat& r)
{
    const std::string remarques = TexteRemarques(r);
    const std::string champs[] = {
        CheminAffichable(chemin),         std::to_string(r.points), NombreResultat(r.debut),
        NombreResultat(r.fin),            NombreResultat(r.k),      NombreResultat(r.uK),
        NombreResultat(r.tDemi),          NombreResultat(r.uTDemi), NombreResultat(r.tDemiGraphique),
        NombreResultat(r.pa),             NombreResultat(r.pInf),   NombreResultat(r.uPInf),
        NombreResultat(r.xFinal),         NombreResultat(r.uXFinal), NombreResultat(r.r2),
        remarques,
    };
    std::string ligne = champs[0];
    for (std::size_t i = 1; i < std::size(champs); ++i)
        ligne += "\t" + champs[i];
    return ligne + "\n";
}

} // namespace Cinetique
