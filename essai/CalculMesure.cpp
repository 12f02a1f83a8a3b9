#include "essai/CalculMesure.h"

#include "kinetics/Constantes.h"
#include "runtime/CheckedFloat.h"

namespace CalculMesure {

long double Pression(bool pEtMoinsP, double tensionVoie1, double tensionVoie2, double coefficient)
{
    if (pEtMoinsP)
        return Checked::Multiply(Checked::Divide(Checked::Subtract(tensionVoie1, tensionVoie2), 2.0L), coefficient);
    return Checked::Multiply(coefficient, tensionVoie1);
}

long double Quantite(long double pression, double volume, double temperature)
{
    return Checked::Divide(Checked::Multiply(pression, volume),
                           Checked::Multiply(Constantes::kConstanteGazEssai, temperature));
}

} // namespace CalculMesure
