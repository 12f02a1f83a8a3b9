#include "numtext/NumberText.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

// Values of the kinds the program writes: pressures, extents of reaction,
// voltages and times.
constexpr std::array<long double, 8> kValeurs = {
    101325.0L, 7.902292E-6L, 1.01325L, 0.0L, 385.05005L, -0.000205254L, 9999.5L, 2.0L / 3.0L,
};

void FormatGeneralAtPrecision(benchmark::State& state)
{
    SetDecimalSeparator(',');
    const int precision = static_cast<int>(state.range(0));
    std::size_t i = 0;
    for (auto _ : state) {
        std::string texte = FormatGeneral(kValeurs[i], precision, DecimalSeparator());
        benchmark::DoNotOptimize(texte);
        i = (i + 1) % kValeurs.size();
    }
}
BENCHMARK(FormatGeneralAtPrecision)->Arg(4)->Arg(6);

void ReadNumberOfTypedTexts(benchmark::State& state)
{
    SetDecimalSeparator(',');
    const std::array<std::string, 6> textes = {"0,25", " 20 ", "1E+5", "101325", "3,45e-6", "-273,15"};
    std::size_t i = 0;
    for (auto _ : state) {
        long double valeur = ReadNumber(textes[i], DecimalSeparator());
        benchmark::DoNotOptimize(valeur);
        i = (i + 1) % textes.size();
    }
}
BENCHMARK(ReadNumberOfTypedTexts);

} // namespace
