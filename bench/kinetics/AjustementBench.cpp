// The kinetic analysis of a one-hour run: 3 600 points, one a second, a
// first-order rise with noise (fixed seed), fitted with no starting values.
// The window refits at every tick, so the fit must cost far less than the
// tick's second: the aim is 0.3 ms.
#include "kinetics/AjustementExponentiel.h"
#include "kinetics/AnalyseCinetique.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kPointsUneHeure = 3600;

// p = 100 000 Pa rising by 20 000 Pa with t½ = 277 s, noise 50 Pa.
std::vector<Cinetique::Point> RunUneHeure()
{
    std::mt19937 generateur(20261207);
    std::normal_distribution<double> bruit(0, 50);
    std::vector<Cinetique::Point> points;
    for (int i = 0; i < kPointsUneHeure; ++i) {
        const double t = i * 1.00013;
        points.push_back({t, 100000 + 20000 * (1 - std::exp(-t / 400)) + bruit(generateur)});
    }
    return points;
}

void AnalyseUneHeure(benchmark::State& state)
{
    const std::vector<Cinetique::Point> points = RunUneHeure();
    Cinetique::Options options;
    options.volume = 0.25;
    options.temperature = 20;
    options.origineFixee = state.range(0) != 0;
    for (auto _ : state) {
        Cinetique::Resultat resultat = Cinetique::Analyser(points, options);
        benchmark::DoNotOptimize(resultat);
    }
}
BENCHMARK(AnalyseUneHeure)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same hour recorded from 10 minutes before the reaction (a flat
// baseline, then the rise): the analysis looks for the reaction's start, one
// fit of the rise for each candidate start it tries.
void AnalyseUneHeureApresLigneDeBase(benchmark::State& state)
{
    std::vector<Cinetique::Point> points = RunUneHeure();
    const double debut = 600;
    for (Cinetique::Point& q : points)
        q.p -= q.t < debut ? 20000 * (1 - std::exp(-q.t / 400)) : 20000 * (1 - std::exp(-q.t / 400))
                                                                    - 20000 * (1 - std::exp(-(q.t - debut) / 400));
    for (auto _ : state) {
        Cinetique::Resultat resultat = Cinetique::Analyser(points, {});
        benchmark::DoNotOptimize(resultat);
    }
}
BENCHMARK(AnalyseUneHeureApresLigneDeBase)->Unit(benchmark::kMicrosecond);

void AjustementUneHeure(benchmark::State& state)
{
    const std::vector<Cinetique::Point> points = RunUneHeure();
    std::vector<double> t, p;
    for (const Cinetique::Point& q : points) {
        t.push_back(q.t);
        p.push_back(q.p);
    }
    for (auto _ : state) {
        Cinetique::AjustementExponentiel a = Cinetique::AjusterExponentielle(t, p);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(AjustementUneHeure)->Unit(benchmark::kMicrosecond);

// The floor: one pass of 3 600 exponentials.
void ExponentiellesUneHeure(benchmark::State& state)
{
    std::vector<double> t(kPointsUneHeure), e(kPointsUneHeure);
    for (int i = 0; i < kPointsUneHeure; ++i)
        t[static_cast<std::size_t>(i)] = i * 1.00013;
    for (auto _ : state) {
        for (std::size_t i = 0; i < t.size(); ++i)
            e[i] = std::exp(-0.0025 * t[i]);
        benchmark::DoNotOptimize(e.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ExponentiellesUneHeure)->Unit(benchmark::kMicrosecond);

} // namespace
