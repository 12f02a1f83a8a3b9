#include "card/UDravoC.h"
#include "tests/acquisition/support/EmptyBus.h"
#include "numtext/NumberText.h"

#include <benchmark/benchmark.h>

namespace {

// The text of a full run (1024 points) in layout 0, as a copy or a save asks for it.
void TexteDUneMesureComplete(benchmark::State& state)
{
    UDravoC::ReinitialiserEtatUnite();
    SetDecimalSeparator(',');
    EmptyBus bus;
    TDravoC carte(bus);
    carte.Frequence = 1 / 1.00013;
    for (int i = 0; i < 1024; ++i)
        carte.MesuresVoie1[i] = 101325 + 17.3L * i;
    for (auto _ : state) {
        std::string texte = carte.TexteMesures(1024, 0);
        benchmark::DoNotOptimize(texte);
    }
}
BENCHMARK(TexteDUneMesureComplete);

} // namespace
