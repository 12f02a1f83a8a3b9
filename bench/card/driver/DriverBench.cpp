// The cost of the program's read itself, on the simulated card with a
// virtual clock: no real time is waited, so what is measured is the loop (six
// settling delays, 315 passes, some 10 000 polls of port 0x61) and the
// simulated card behind it.
#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "card/UDravoC.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

void BM_MesurerTensions_314_a_15700Hz(benchmark::State& state)
{
    UDravoC::ReinitialiserEtatUnite();
    // A poll every 2 µs of simulated time: about 32 polls per 63.7 µs period.
    VirtualClock clock(std::chrono::microseconds(2));
    SimulatedCard simulated(clock);
    TDravoC card(simulated);
    for (auto _ : state) {
        card.MesurerTensions(314, 15700);
        benchmark::DoNotOptimize(card.TensionVoie1);
        benchmark::DoNotOptimize(card.TensionVoie2);
        clock.Advance(std::chrono::milliseconds(980)); // the next tick
    }
    UDravoC::ReinitialiserEtatUnite();
}
BENCHMARK(BM_MesurerTensions_314_a_15700Hz)->Unit(benchmark::kMicrosecond);

} // namespace
