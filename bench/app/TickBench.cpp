// One tick of a measurement run on the simulated card with a virtual clock:
// the 20 ms window of the read takes no real time, so what is measured is
// the read's own work and everything else the tick does (voltage text,
// arithmetic, the two chart points, the table). The window is hidden, so the
// charts do not repaint. The tick must be a small fraction of its 20 ms
// read, and must not grow with the points already taken: compare the
// arguments (points already in the run when the measured ticks are taken).
#include "widgets/Apparence.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "app/UPrincipal.h"
#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "runtime/Platform.h"
#include "runtime/qt/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

class BoitesMuettes final : public MessageBoxes {
public:
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}
};

class BureauMuet final : public Platform {
public:
    void PlaceOnClipboard(const std::string&) override {}
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest&) override { return std::nullopt; }
    bool ConfirmReplace(const std::string&) override { return false; }
    bool OpenAddress(const std::string&) override { return false; }
};

struct Banc {
    VirtualClock horloge{std::chrono::microseconds(2)};
    SimulatedCard carte{horloge};
    BoitesMuettes boites;
    BureauMuet bureau;
    TForm1 fenetre{carte, boites, &bureau};

    Banc() { UPrincipal::ReinitialiserEtatUnite(); }
    ~Banc() { UPrincipal::ReinitialiserEtatUnite(); }

    // A new run with `points` points already taken.
    void Recommencer(int points)
    {
        if (UPrincipal::EnMarche)
            fenetre.Button1->click();
        fenetre.Button1->click();
        for (int i = 0; i < points; ++i)
            fenetre.Timer1Timer(&fenetre);
    }
};

void BM_Tick(benchmark::State& state)
{
    const int dejaPris = static_cast<int>(state.range(0));
    Banc banc;
    banc.Recommencer(dejaPris);
    for (auto _ : state) {
        if (banc.fenetre.NombreDePoints() >= UPrincipal::kPointsMax - 1) {
            state.PauseTiming();
            banc.Recommencer(dejaPris);
            state.ResumeTiming();
        }
        banc.fenetre.Timer1Timer(&banc.fenetre);
    }
}
BENCHMARK(BM_Tick)->Arg(0)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The tick as the timer runs it: the handler, then the session's runs keep
// the run and, with the analysis window open on it, the window's refresh is
// queued. Second argument: 0 the window closed, 1 open on its first tab (the
// volumetric rate, whose derivative is worked out at each refresh), 2 open
// on its comparison tab (the fit and the extent chart alone). Third
// argument 1: the queued refresh too (the window refits and fills its
// series again; hidden charts are not painted), which runs after the tick's
// handler has returned. Compare with BM_Tick at the same first argument:
// with 0, the growth of the tick itself; with 1, the window's work per
// second.
void BM_TickSuivi(benchmark::State& state)
{
    const int dejaPris = static_cast<int>(state.range(0));
    Banc banc;
    banc.Recommencer(dejaPris);
    if (state.range(1) != 0) {
        banc.fenetre.Analyserlessai1->trigger();
        banc.fenetre.FenetreAnalyse1->Onglets->setCurrentIndex(state.range(1) == 1 ? 0 : 2);
    }
    for (auto _ : state) {
        if (banc.fenetre.NombreDePoints() >= UPrincipal::kPointsMax - 1) {
            state.PauseTiming();
            banc.Recommencer(dejaPris);
            state.ResumeTiming();
        }
        banc.fenetre.Timer1Timer(&banc.fenetre);
        banc.fenetre.SuivreMesure();
        if (state.range(2) != 0)
            banc.fenetre.ActualiserAnalyse();
    }
}
BENCHMARK(BM_TickSuivi)
    ->ArgNames({"points", "analyse", "rafraichi"})
    ->ArgsProduct({{0, 500, 1000}, {0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The read alone, for comparison: the card's part of the tick.
void BM_Lecture(benchmark::State& state)
{
    Banc banc;
    for (auto _ : state)
        banc.fenetre.P->MesurerTensions(314, 15700.0);
}
BENCHMARK(BM_Lecture)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    AppliquerApparence();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
