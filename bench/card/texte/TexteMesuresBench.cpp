#include "card/UDravoC.h"
#include "numtext/NumberText.h"

#include <benchmark/benchmark.h>

namespace {

// A card bus with nothing on it.
class BusVide : public PortIo {
public:
    std::uint8_t inb(std::uint16_t) override { return 0xFF; }
    std::uint16_t inw(std::uint16_t) override { return 0xFFFF; }
    void outb(std::uint16_t, std::uint8_t) override {}
    void DisableInterrupts() override {}
    void EnableInterrupts() override {}
};

// The text of a full run (1024 points) in layout 0, as a copy or a save asks for it.
void TexteDUneMesureComplete(benchmark::State& state)
{
    UDravoC::ReinitialiserEtatUnite();
    SetDecimalSeparator(',');
    BusVide bus;
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
