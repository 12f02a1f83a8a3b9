// The class synthesis at the scale of a class: 30 benches × 10 runs of an
// hour (300 journals of 3 600 readings, about 60 MB) in one folder, made once
// in a temporary folder. The aim: the synthesis ready in under 2 s. The
// second benchmark reads the same files without analysing them, to show
// where the time goes. The synthesis shares the files among the cores: its
// figure is the time on the clock.
#include "classe/SyntheseClasse.h"
#include "tests/classe/JournauxDeClasse.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kPostes = 30, kEssaisParPoste = 10, kLecturesUneHeure = 3600;

// The folder, made at the first call and removed when the program ends. Ten
// runs (two at each of five temperatures) are written by the journal's
// writer, on a memory file system where there is one (the writer flushes
// every reading); each is then copied under the names and computers of
// thirty benches.
class DossierDeClasse {
public:
    DossierDeClasse()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string modele = std::string(tmp && *tmp ? tmp : "/tmp") + "/nelvar-classe-bench-XXXXXX";
        if (::mkdtemp(modele.data()) == nullptr)
            throw std::runtime_error("mkdtemp");
        racine_ = modele;
        fs::path preparation = racine_ / "preparation";
        if (fs::is_directory("/dev/shm")) {
            std::string shm = "/dev/shm/nelvar-classe-bench-XXXXXX";
            if (::mkdtemp(shm.data()) != nullptr)
                preparation = shm;
        }
        preparation_ = preparation;
        dossier_ = racine_ / "classe";
        fs::create_directories(dossier_);
        const double temperatures[] = {15, 20, 25, 30, 40};
        for (int m = 0; m < 10; ++m) {
            JournauxDeClasse::Essai e;
            e.debut = JournauxDeClasse::Matin(3600 * m);
            e.poste = "MODELE";
            e.temperature = temperatures[m % 5];
            e.k = 0.002 * std::exp(0.06 * (e.temperature - 15));
            e.lectures = kLecturesUneHeure;
            e.graine = 1000 + m;
            std::ostringstream texte;
            texte << std::ifstream(JournauxDeClasse::Ecrire(preparation_, e), std::ios::binary).rdbuf();
            const std::string modeleTexte = texte.str();
            for (int p = m; p < kPostes * kEssaisParPoste; p += 10) {
                const std::string poste = "SALLE2-PC" + std::to_string(p % kPostes + 1);
                std::string copie = modeleTexte;
                copie.replace(copie.find("MODELE"), 6, poste);
                std::ofstream(dossier_ / ("essai_" + std::to_string(p) + "_" + poste + ".txt"), std::ios::binary)
                    << copie;
            }
        }
    }
    ~DossierDeClasse()
    {
        std::error_code ignore;
        fs::remove_all(racine_, ignore);
        fs::remove_all(preparation_, ignore);
    }
    const fs::path& Dossier() const { return dossier_; }

private:
    fs::path racine_, preparation_, dossier_;
};

const DossierDeClasse& Classe300()
{
    static const DossierDeClasse dossier;
    return dossier;
}

void SyntheseDeLaClasse(benchmark::State& state)
{
    const std::string dossier = Classe300().Dossier();
    for (auto _ : state) {
        Classe::Synthese synthese = Classe::Synthetiser({dossier});
        if (synthese.essais.size() != kPostes * kEssaisParPoste || !synthese.arrhenius)
            state.SkipWithError("the class folder was not read whole");
        benchmark::DoNotOptimize(synthese);
    }
}
BENCHMARK(SyntheseDeLaClasse)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void LectureSeule(benchmark::State& state)
{
    const std::string dossier = Classe300().Dossier();
    for (auto _ : state) {
        const Issue<std::vector<std::string>> fichiers = Classe::Fichiers({dossier});
        for (const std::string& chemin : *fichiers) {
            Cinetique::Enregistrement essai = Cinetique::LireFichierEnregistrement(chemin);
            benchmark::DoNotOptimize(essai);
        }
    }
}
BENCHMARK(LectureSeule)->Unit(benchmark::kMillisecond)->MinTime(5);

} // namespace
