// The three copy and two save commands of the window.
#include "runtime/Windows1252.h"
#include "tests/support/Contenu.h"
#include "tests/app/support/FenetreFixture.h"

#include <QAction>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

constexpr const char* kAttendre = "Veuillez attendre la fin de la mesure.";
constexpr const char* kNotePression =
    "Veuillez noter que dans la deuxième colonne figurent des pressions en pascals et non des tensions";
constexpr const char* kNoteAvancement =
    "Veuillez noter que dans la deuxième colonne figurent des avancements en moles et non des tensions";
constexpr const char* kNoteTension =
    "Veuillez noter que dans la deuxième colonne figurent les tensions (voie 1 - voie 2)/2";

} // namespace

class ExportsTest : public FenetreTest {
protected:
    void SetUp() override
    {
        FenetreTest::SetUp();
        dossier = std::filesystem::temp_directory_path() / ("nelvar-exports-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dossier);
        std::filesystem::create_directories(dossier);
        UDravoC::RepertoireCourant = dossier.string() + "/";
    }
    void TearDown() override
    {
        FenetreTest::TearDown();
        std::filesystem::remove_all(dossier);
    }

    // A run of `points` ticks, stopped.
    void Mesurer(int points)
    {
        SetCodes(2447, 2048);
        Click();
        for (int i = 0; i < points; ++i)
            Tick();
        Click();
    }
    std::string Texte(int disposition) const
    {
        return Windows1252ToUtf8(
            form->P->TexteMesures(static_cast<std::uint16_t>(form->NombreDePoints()), static_cast<std::uint8_t>(disposition)));
    }

    std::filesystem::path dossier;
};

TEST_F(ExportsTest, every_command_during_a_run_shows_only_the_refusal)
{
    Mesurer(2);
    Click();
    Tick();
    ASSERT_TRUE(UPrincipal::EnMarche);
    form->P->Frequence = 15700;
    for (QAction* commande : {form->Copier1, form->Copieravancement1, form->CopiertensionenV1, form->Enregistrer1,
                              form->EnregistrerSous1})
        commande->trigger();

    EXPECT_EQ(boxes.all, std::vector<std::string>(5, kAttendre));
    EXPECT_TRUE(platform.clipboard.empty());
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_EQ(form->P->Frequence, 15700.0);
    EXPECT_EQ(UDravoC::NumeroFichier, 0);
    EXPECT_EQ(UDravoC::NomDernierFichier, "");
    EXPECT_FALSE(std::filesystem::exists(dossier / "Valeurs"));
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_EQ(form->NombreDePoints(), 1);
}

TEST_F(ExportsTest, each_copy_shows_its_note_then_copies_its_layout_of_the_last_run)
{
    Mesurer(3);
    struct Cas {
        QAction* commande;
        const char* note;
        int disposition;
    };
    for (const Cas& cas : {Cas{form->Copier1, kNotePression, 0}, Cas{form->Copieravancement1, kNoteAvancement, 1},
                           Cas{form->CopiertensionenV1, kNoteTension, 2}}) {
        boxes.messages.clear();
        platform.clipboard.clear();
        bool copieAvantLaNote = false;
        boxes.whileMessageOpen = [&] { copieAvantLaNote = !platform.clipboard.empty(); };
        cas.commande->trigger();
        EXPECT_EQ(boxes.messages, std::vector<std::string>{cas.note});
        EXPECT_FALSE(copieAvantLaNote);
        ASSERT_EQ(platform.clipboard.size(), 1u);
        EXPECT_EQ(platform.clipboard[0], Texte(cas.disposition));
    }
    // Three rows below the header.
    EXPECT_EQ(std::count(platform.clipboard[0].begin(), platform.clipboard[0].end(), '\r'), 4);
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(ExportsTest, export_time_step_is_the_tick_period_set_before_the_operation)
{
    Mesurer(2);
    ASSERT_EQ(form->P->Frequence, 15700.0); // left by the last read
    double frequencePendantLaCopie = 0;
    platform.onUse = [&] { frequencePendantLaCopie = form->P->Frequence; };
    form->Copier1->trigger();
    EXPECT_EQ(frequencePendantLaCopie, static_cast<double>(1.0L / 1.00013));
    EXPECT_NEAR(1 / form->P->Frequence, 1.00013, 1e-12);
}

TEST_F(ExportsTest, save_writes_the_pressure_table_to_the_next_numbered_file_without_a_note)
{
    Mesurer(2);
    form->Enregistrer1->trigger();
    const auto fichier = dossier / "Valeurs" / "Mesures1.txt";
    ASSERT_TRUE(std::filesystem::exists(fichier));
    EXPECT_EQ(Contenu(fichier), form->P->TexteMesures(2, 0) + "\r\n");
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(ExportsTest, save_rewrites_the_stopped_runs_file_and_the_next_run_takes_a_new_number)
{
    Mesurer(2);
    form->Enregistrer1->trigger();
    // A refused start (a zero coefficient) starts no run: the same run, saved
    // again, goes to the same file.
    form->Edit3->setText(QStringLiteral("0"));
    Click();
    ASSERT_FALSE(UPrincipal::EnMarche);
    form->Edit3->setText(QStringLiteral("100000"));
    form->Enregistrer1->trigger();
    const std::string premiereMesure = form->P->TexteMesures(2, 0) + "\r\n";

    Mesurer(3);
    form->Enregistrer1->trigger();

    const auto valeurs = dossier / "Valeurs";
    EXPECT_EQ(Contenu(valeurs / "Mesures1.txt"), premiereMesure);
    EXPECT_EQ(Contenu(valeurs / "Mesures2.txt"), form->P->TexteMesures(3, 0) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(valeurs / "Mesures3.txt"));
}

TEST_F(ExportsTest, save_as_writes_the_pressure_table_to_the_file_chosen)
{
    Mesurer(2);
    platform.chosenName = (dossier / "essai.txt").string();
    form->EnregistrerSous1->trigger();
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_EQ(Contenu(dossier / "essai.txt"), form->P->TexteMesures(2, 0) + "\r\n");
    EXPECT_TRUE(boxes.all.empty());

    // A cancelled dialog writes nothing.
    platform.chosenName.reset();
    std::filesystem::remove(dossier / "essai.txt");
    form->EnregistrerSous1->trigger();
    EXPECT_FALSE(std::filesystem::exists(dossier / "essai.txt"));
}

TEST_F(ExportsTest, with_no_point_recorded_every_command_shows_only_the_point_count_message)
{
    // Before any run; then after a saved run, a run stopped before its first
    // reading: the saved run's file stays as it was.
    const auto valeurs = dossier / "Valeurs";
    for (const bool apresUnEssai : {false, true}) {
        SCOPED_TRACE(apresUnEssai ? "run stopped before its first reading" : "before any run");
        std::string premierEssai;
        if (apresUnEssai) {
            Mesurer(2);
            form->Enregistrer1->trigger();
            premierEssai = Contenu(valeurs / "Mesures1.txt");
            Mesurer(0);
        }
        boxes.all.clear();
        for (QAction* commande : {form->Copier1, form->Copieravancement1, form->CopiertensionenV1, form->Enregistrer1,
                                  form->EnregistrerSous1})
            commande->trigger();

        EXPECT_EQ(boxes.all, std::vector<std::string>(5, "!Nombre de points incorrect."));
        EXPECT_TRUE(platform.clipboard.empty());
        EXPECT_TRUE(platform.dialogs.empty());
        EXPECT_EQ(UDravoC::NumeroFichier, apresUnEssai ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(valeurs), apresUnEssai);
        EXPECT_FALSE(std::filesystem::exists(valeurs / "Mesures2.txt"));
        EXPECT_EQ(Contenu(valeurs / "Mesures1.txt"), premierEssai);
    }
}
