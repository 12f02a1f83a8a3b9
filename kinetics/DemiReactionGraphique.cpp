#include "kinetics/DemiReactionGraphique.h"

#include <cassert>

namespace Cinetique {

std::optional<double> DemiReactionGraphique(std::span<const double> t, std::span<const double> y, double yFinal)
{
    assert(t.size() == y.size() && !t.empty());
    if (!(yFinal != y[0]))
        return std::nullopt;
    const double cible = y[0] + (yFinal - y[0]) / 2;
    // Distances past the target, positive once reached whichever the direction.
    const double sens = yFinal > y[0] ? 1 : -1;
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (sens * (y[i] - cible) >= 0) {
            const double avant = sens * (cible - y[i - 1]); // > 0: not reached before i
            const double apres = sens * (y[i] - cible);
            return t[i - 1] - t[0] + (t[i] - t[i - 1]) * avant / (avant + apres);
        }
    }
    return std::nullopt;
}

} // namespace Cinetique
