#pragma once
// The runs test (Wald–Wolfowitz) on the signs of residuals: around a curve
// that fits, the residuals' signs change at random, and the number of runs
// (stretches of one sign) is close to what chance gives; residuals that
// follow a structure the model misses change sign seldom, in long runs.
//
// ScoreDesSuites returns z = (R - μ) / σ, R the number of runs, with
//   μ = 2·n₊·n₋ / n + 1,  σ² = (μ - 1)·(μ - 2) / (n - 1),
// n₊ and n₋ the numbers of positive and negative residuals (zeros are left
// out), n = n₊ + n₋. For white noise z follows the standard normal law
// closely once n₊ and n₋ pass about 10; a large negative z says too few runs.
// 0 when there are no two signs to count (σ = 0).
//
//   + + + + + - - - - -  -> R = 2,  μ = 6, σ² = 20/9,  z = -2.683
//   + - + - + - + - + -  -> R = 10, z = +2.683
#include <span>

namespace Cinetique {

double ScoreDesSuites(std::span<const double> residus);

} // namespace Cinetique
