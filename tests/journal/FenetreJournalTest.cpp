// The main window's runs in their journal: real times to the analysis, the
// journal's earlier runs among the runs compared.
#include "analyse/AnalyseEssai.h"
#include "analyse/EssaisCompares.h"
#include "journal/JournalEssai.h"
#include "journal/LectureEssai.h"
#include "tests/app/support/FenetreFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class FenetreJournal : public FenetreTest {
protected:
    void SetUp() override
    {
        FenetreTest::SetUp();
        ASSERT_NE(mkdtemp(racine_), nullptr);
        form->DossierJournal = fs::path(racine_) / "essais";
    }
    void TearDown() override
    {
        FenetreTest::TearDown();
        fs::remove_all(racine_);
    }

    char racine_[36] = "/tmp/nelvar-fenetre-journal-XXXXXX";
};

} // namespace

TEST_F(FenetreJournal, a_stall_shows_in_the_real_times_of_the_journal_and_the_analysis_counts_the_late_readings)
{
    SetCodes(2447, 2048);
    Click();
    for (int i = 0; i < 6; ++i) {
        if (i == 3)
            horloge.Advance(3s); // the PC stalls 3 s before this reading
        Tick();
    }

    // Real times from the first reading: the last three are 3 s behind their ticks.
    AnalyseEssai analyse;
    analyse.SetDonnees(form->DonneesDeLaMesure());
    const DonneesEssai& donnees = analyse.Donnees();
    ASSERT_EQ(donnees.points.size(), 6u);
    const double reels[] = {0, 1.00013, 2.00026, 6.00039, 7.00052, 8.00065};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(donnees.points[i].t, reels[i], 1e-12);
        EXPECT_NEAR(donnees.tempsTicks[i], 1.00013 * static_cast<double>(i), 1e-12);
    }
    EXPECT_EQ(analyse.LecturesEnRetard(), 3);
    EXPECT_DOUBLE_EQ(form->Series1->XValue(5), 6 * 1.00013); // the chart keeps the tick times
    Click(); // the journal released: every line on the disk
    ASSERT_EQ(form->JournauxDeLaSession().size(), 1u);
    EXPECT_EQ(Cinetique::LireFichierEnregistrement(form->JournauxDeLaSession()[0]).tempsTicks, donnees.tempsTicks);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(FenetreJournal, the_analysis_window_lists_an_earlier_sessions_run_after_the_sessions_own_and_never_twice)
{
    SetCodes(2447, 2048);
    Click();
    for (int i = 0; i < 4; ++i)
        Tick();
    Click();
    ASSERT_EQ(form->JournauxDeLaSession().size(), 1u);
    const fs::path propre = form->JournauxDeLaSession()[0];

    // A run of an earlier lab hour: the same journal, started a year before.
    std::stringstream texte;
    texte << std::ifstream(propre).rdbuf();
    std::string contenu = texte.str();
    const std::string cle = "# " + std::string(Journal::kCleDebut) + " : ";
    const std::size_t annee = contenu.find(cle) + cle.size();
    contenu.replace(annee, 4, std::to_string(std::stoi(contenu.substr(annee, 4)) - 1));
    const fs::path ancien = propre.parent_path() / "essai_2000-01-01_08-00-00.txt";
    std::ofstream(ancien) << contenu;

    form->Analyserlessai1->trigger();
    form->Analyserlessai1->trigger(); // listed again: nothing added
    EssaisCompares& essais = form->Essais();
    ASSERT_EQ(essais.Nombre(), 2);
    EXPECT_EQ(essais.Entree(0).provenance, Provenance::Seance);
    EXPECT_EQ(essais.Entree(1).provenance, Provenance::Archive);
    EXPECT_EQ(essais.Entree(1).chemin, ancien.string());
    const AnalyseEssai* analyse = essais.Analyse(1);
    ASSERT_NE(analyse, nullptr) << essais.Erreur(1);
    EXPECT_EQ(analyse->Points(), 4);
    EXPECT_EQ(analyse->Donnees().volume, form->DonneesDeLaMesure().volume); // the journal's conditions
}
