#include "kinetics/TestDesSuites.h"

#include <cmath>

namespace Cinetique {

double ScoreDesSuites(std::span<const double> residus)
{
    double positifs = 0, negatifs = 0, suites = 0;
    int signePrecedent = 0;
    for (double r : residus) {
        const int signe = r > 0 ? 1 : (r < 0 ? -1 : 0);
        if (signe == 0)
            continue;
        (signe > 0 ? positifs : negatifs) += 1;
        if (signe != signePrecedent)
            suites += 1;
        signePrecedent = signe;
    }
    const double n = positifs + negatifs;
    if (positifs == 0 || negatifs == 0)
        return 0;
    const double moyenne = 2 * positifs * negatifs / n + 1;
    const double variance = (moyenne - 1) * (moyenne - 2) / (n - 1);
    return variance > 0 ? (suites - moyenne) / std::sqrt(variance) : 0;
}

} // namespace Cinetique
