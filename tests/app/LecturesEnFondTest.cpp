// The window with its readings on the acquisition's thread: a source that
// stops answering holds neither the window's queue nor its ticks nor a stop,
// a close during a blocked reading waits for it and records nothing of it,
// the journal gets every reading taken, and a day of runs leaves no thread
// nor file behind.
#include "workers/Acquisition.h"
#include "tests/support/Contenu.h"
#include "widgets/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "acquisition/Clocks.h"
#include "chart/TChart.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"
#include "journal/CopieClasse.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QPushButton>
#include <QTest>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <thread>

namespace {

// A source that answers 1 V and 0 V, or, once told to, holds its reading
// until the test lets it go.
class SourceRetenue final : public LecteurTensions {
public:
    Issue<LectureTensions> Lire(std::int32_t, double frequence) override
    {
        ++lectures;
        std::shared_future<void> porte;
        {
            const std::lock_guard<std::mutex> garde(verrou_);
            porte = porte_;
        }
        if (porte.valid()) {
            entree_.set_value();
            porte.wait();
        }
        return LectureTensions{frequence, 1.0, 0.0};
    }
    Cadence CadencePour(double frequence) const override { return {frequence, true}; }
    std::string Description() const override { return "source retenue"; }

    // The next reading waits for Lacher(); the future is ready once it has begun.
    std::future<void> Retenir()
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        lacher_ = std::promise<void>();
        porte_ = lacher_.get_future().share();
        entree_ = std::promise<void>();
        return entree_.get_future();
    }
    void Lacher()
    {
        {
            const std::lock_guard<std::mutex> garde(verrou_);
            porte_ = {};
        }
        lacher_.set_value();
    }

    std::atomic<int> lectures = 0;

private:
    std::mutex verrou_;
    std::promise<void> lacher_;
    std::promise<void> entree_;
    std::shared_future<void> porte_;
};

class LecturesEnFondTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UPrincipal::ReinitialiserEtatUnite();
        UDravoC::ReinitialiserEtatUnite();
        ASSERT_NE(mkdtemp(racine_), nullptr);
        form = std::make_unique<TForm1>(source, boxes, &platform);
        form->HorlogeLectures = &horloge;
        form->DossierJournal = std::string(racine_) + "/essais";
        form->RadioGroup1->SetItemIndex(1); // "Non": channel 1 alone
    }
    void TearDown() override
    {
        form.reset();
        UPrincipal::ReinitialiserEtatUnite();
        UDravoC::ReinitialiserEtatUnite();
        std::filesystem::remove_all(racine_);
    }

    // A tick, as the timer gives it; the reading is asked and the tick ends.
    void Tick()
    {
        QMetaObject::invokeMethod(form->Timer1, "timeout");
        QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    }
    // A tick whose reading is taken and whose result the window has taken.
    void TickComplet()
    {
        const int avant = form->NombreDePoints();
        Tick();
        // The real timer's own ticks during the wait are not the test's.
        const QSignalBlocker sansMinuterie(form->Timer1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->NombreDePoints() == avant + 1; }, 20000));
        horloge.Advance(std::chrono::nanoseconds(1000130000));
    }
    int LignesDuJournal()
    {
        if (form->JournauxDeLaSession().empty())
            return -1;
        std::ifstream fichier(form->JournauxDeLaSession().back());
        int lignes = 0;
        for (std::string ligne; std::getline(fichier, ligne);)
            lignes += !ligne.empty() && ligne[0] != '#' && ligne[0] != 't';
        return lignes;
    }

    char racine_[36] = "/tmp/nelvar-lectures-fond-XXXXXX";
    SourceRetenue source;
    FakeBoxes boxes;
    FakePlatform platform;
    VirtualClock horloge;
    std::unique_ptr<TForm1> form;
};

TEST_F(LecturesEnFondTest, a_source_that_stops_answering_holds_neither_the_windows_queue_nor_its_ticks)
{
    form->Button1->click();
    TickComplet();
    std::future<void> entree = source.Retenir();
    Tick();
    entree.wait(); // the reading has begun, and holds

    // The window goes on: its own events run, and the ticks that come while
    // the reading holds ask for nothing more.
    bool evenementTraite = false;
    QMetaObject::invokeMethod(form.get(), [&] { evenementTraite = true; }, Qt::QueuedConnection);
    QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    EXPECT_TRUE(evenementTraite);
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(source.lectures, 2);
    EXPECT_EQ(form->NombreDePoints(), 1);

    // Once the source answers, its reading is the run's second point.
    source.Lacher();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->NombreDePoints() == 2; }, 20000));
    EXPECT_EQ(form->Series1->Count(), 2);
    EXPECT_EQ(source.lectures, 2);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(LecturesEnFondTest, a_stop_during_a_held_reading_does_not_wait_for_it_and_records_nothing_of_it)
{
    form->Button1->click();
    TickComplet();
    TickComplet();
    std::future<void> entree = source.Retenir();
    Tick();
    entree.wait();

    // The stop is over while the source still holds its reading; the
    // reading's result, which comes once the source answers, is dropped.
    form->Button1->click();
    EXPECT_FALSE(UPrincipal::EnMarche);
    QSignalSpy lue(&form->Lectures(), &Acquisition::Lue);
    source.Lacher();
    ASSERT_TRUE(lue.wait(20000));

    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_EQ(form->NombreDePoints(), 2);
    EXPECT_EQ(form->EssaiCourant()->Nombre(), 2);
    // The journal gets every reading the run took.
    ASSERT_TRUE(QTest::qWaitFor([&] { return LignesDuJournal() == 2; }, 20000));
}

TEST_F(LecturesEnFondTest, closing_the_window_during_a_held_reading_ends_both_threads_and_loses_no_line)
{
    form->Button1->click();
    for (int i = 0; i < 3; ++i)
        TickComplet();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->JournauxDeLaSession().empty(); }, 20000));
    const std::string chemin = form->JournauxDeLaSession().back();
    std::future<void> entree = source.Retenir();
    Tick();
    entree.wait();

    std::thread lacheur([&] { source.Lacher(); });
    form.reset(); // waits for the reading, then for the journal
    lacheur.join();

    std::ifstream fichier(chemin);
    int lignes = 0;
    for (std::string ligne; std::getline(fichier, ligne);)
        lignes += !ligne.empty() && ligne[0] != '#' && ligne[0] != 't';
    EXPECT_EQ(lignes, 3);
}

// NELVAR_CLASSE set for the test's span.
class VariableClasse {
public:
    explicit VariableClasse(const std::string& valeur) { ::setenv(Journal::kVariableClasse, valeur.c_str(), 1); }
    ~VariableClasse() { ::unsetenv(Journal::kVariableClasse); }
    VariableClasse(const VariableClasse&) = delete;
    VariableClasse& operator=(const VariableClasse&) = delete;
};

TEST_F(LecturesEnFondTest, a_run_is_copied_whole_to_the_class_folder_under_the_benchs_name_once_stopped)
{
    const std::filesystem::path classe = std::filesystem::path(racine_) / "classe";
    std::filesystem::create_directory(classe);
    const VariableClasse variable(classe.string());
    form->Button1->click();
    for (int i = 0; i < 3; ++i)
        TickComplet();
    form->Button1->click(); // the stop: the copy gets the last lines

    auto copie = [&]() -> std::string {
        for (const auto& e : std::filesystem::directory_iterator(classe))
            if (!e.path().filename().string().starts_with("."))
                return e.path().string();
        return {};
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return LignesDuJournal() == 3 && !copie().empty(); }, 20000));
    const std::string local = form->JournauxDeLaSession().back();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Contenu(copie()) == Contenu(local); }, 20000))
        << Contenu(copie()) << "\n---\n" << Contenu(local);
    const std::string nom = std::filesystem::path(copie()).filename().string();
    EXPECT_TRUE(nom.starts_with("essai_")) << nom;
    EXPECT_TRUE(nom.ends_with("_" + Journal::NomDuPoste(NomDeLaMachine()) + ".txt")) << nom;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(classe), std::filesystem::directory_iterator()), 1);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(LecturesEnFondTest, a_class_folder_out_of_reach_is_told_once_during_the_run_and_once_at_its_end)
{
    const std::string classe = std::string(racine_) + "/partage-absent/classe";
    const VariableClasse variable(classe);
    form->Button1->click();
    for (int i = 0; i < 4; ++i)
        TickComplet();
    form->Button1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.messages.size() == 2; }, 20000));
    EXPECT_EQ(boxes.messages[0], "Le dossier de la classe « " + classe +
                                     " » est inaccessible : dossier introuvable. Le journal local garde l'essai ; "
                                     "nouvel essai d'écriture dans 10 s.");
    EXPECT_EQ(boxes.messages[1], "Le dossier de la classe « " + classe +
                                     " » est inaccessible : dossier introuvable. L'essai terminé n'y est pas copié ; "
                                     "le journal local le garde.");
    EXPECT_EQ(LignesDuJournal(), 4);
    EXPECT_FALSE(std::filesystem::exists(classe));
}

TEST_F(LecturesEnFondTest, the_class_folder_setting_is_remembered_and_nelvar_classe_wins_over_it)
{
    const QString reglages = QString::fromStdString(std::string(racine_) + "/config/nelvar.ini");
    form->FichierReglages = reglages;
    int choix = 0;
    form->ChoisirDossierClasse = [&choix]() -> std::optional<std::string> {
        ++choix;
        return "/srv/classe & co";
    };
    emit form->Analyse1->aboutToShow();
    EXPECT_EQ(form->DossierClasseActuel1->text(), QStringLiteral("Actuel : aucun"));
    EXPECT_FALSE(form->Aucundossierdelaclasse1->isEnabled());
    form->Dossierdelaclasse1->trigger();
    EXPECT_EQ(form->DossierClasseActuel1->text(), QStringLiteral("Actuel : /srv/classe && co"));
    EXPECT_TRUE(form->Aucundossierdelaclasse1->isEnabled());

    // The next session reads it back.
    form.reset();
    form = std::make_unique<TForm1>(source, boxes, &platform);
    EXPECT_TRUE(form->DossierClasse().chemin.empty()); // no settings file given: none
    form->FichierReglages = reglages;
    EXPECT_EQ(form->DossierClasse().chemin, "/srv/classe & co");
    EXPECT_FALSE(form->DossierClasse().parEnvironnement);
    form->ChoisirDossierClasse = [&choix]() -> std::optional<std::string> {
        ++choix;
        return std::nullopt; // cancelled
    };
    {
        const VariableClasse variable("/mnt/salle2");
        EXPECT_EQ(form->DossierClasse().chemin, "/mnt/salle2");
        EXPECT_TRUE(form->DossierClasse().parEnvironnement);
        emit form->Analyse1->aboutToShow();
        EXPECT_EQ(form->DossierClasseActuel1->text(), QStringLiteral("Actuel : /mnt/salle2 (fixé par NELVAR_CLASSE)"));
        EXPECT_FALSE(form->Aucundossierdelaclasse1->isEnabled());
        form->Dossierdelaclasse1->trigger(); // says why, chooses nothing
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(boxes.messages[0], "Le dossier de la classe est fixé pour la salle par la variable d'environnement "
                                     "NELVAR_CLASSE : « /mnt/salle2 ».");
        EXPECT_EQ(choix, 1);
    }
    {
        const VariableClasse vide(""); // set but empty: the setting
        EXPECT_EQ(form->DossierClasse().chemin, "/srv/classe & co");
    }
    form->Dossierdelaclasse1->trigger(); // cancelled: kept
    EXPECT_EQ(choix, 2);
    EXPECT_EQ(form->DossierClasse().chemin, "/srv/classe & co");
    emit form->Analyse1->aboutToShow(); // the menu opened again
    EXPECT_EQ(form->DossierClasseActuel1->text(), QStringLiteral("Actuel : /srv/classe && co"));
    ASSERT_TRUE(form->Aucundossierdelaclasse1->isEnabled());
    form->Aucundossierdelaclasse1->trigger();
    EXPECT_TRUE(form->DossierClasse().chemin.empty());
    EXPECT_EQ(form->DossierClasseActuel1->text(), QStringLiteral("Actuel : aucun"));
    EXPECT_FALSE(QSettings(reglages, QSettings::IniFormat).contains(QStringLiteral("classe/dossier")));
}

} // namespace

namespace {

// What the process holds: its threads and its open files.
struct Ressources {
    long fils = 0;
    long fichiers = 0;
};
Ressources RessourcesDuProcessus()
{
    const auto compter = [](const char* dossier) {
        return static_cast<long>(std::distance(std::filesystem::directory_iterator(dossier),
                                               std::filesystem::directory_iterator()));
    };
    return {compter("/proc/self/task"), compter("/proc/self/fd")};
}

TEST_F(LecturesEnFondTest, a_journal_that_cannot_be_written_is_told_once_and_the_run_goes_on)
{
    // The journal's folder sits under a plain file: it can never be made.
    const std::string fichier = std::string(racine_) + "/fichier";
    std::ofstream(fichier) << "x";
    form->DossierJournal = fichier + "/essais";
    form->Button1->click();
    for (int i = 0; i < 3; ++i)
        TickComplet();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.messages.empty(); }, 20000));
    QSignalSpy termine(&form->Lectures(), &Acquisition::JournalTermine);
    form->Button1->click();
    ASSERT_TRUE(termine.wait(20000));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_NE(boxes.messages[0].find(fichier + "/essais"), std::string::npos) << boxes.messages[0];
    EXPECT_EQ(form->NombreDePoints(), 3);
    EXPECT_TRUE(form->JournauxDeLaSession().empty());
}

TEST_F(LecturesEnFondTest, twenty_runs_without_restarting_hold_no_more_threads_nor_files_than_one)
{
    // Each run journaled and copied to the class folder, then stopped: its
    // journal released before the next start.
    const std::filesystem::path classe = std::filesystem::path(racine_) / "classe";
    std::filesystem::create_directory(classe);
    const VariableClasse variable(classe.string());
    Ressources apresUn;
    for (int essai = 1; essai <= 20; ++essai) {
        form->Button1->click();
        TickComplet();
        TickComplet();
        QSignalSpy termine(&form->Lectures(), &Acquisition::JournalTermine);
        form->Button1->click();
        ASSERT_TRUE(termine.wait(20000)) << essai;
        if (essai == 1)
            apresUn = RessourcesDuProcessus();
    }
    // A copy's thread left to end its last write ends on its own.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const Ressources apresVingt = RessourcesDuProcessus();
            return apresVingt.fils <= apresUn.fils && apresVingt.fichiers <= apresUn.fichiers;
        },
        20000))
        << "after one run: " << apresUn.fils << " threads, " << apresUn.fichiers << " files; after twenty: "
        << RessourcesDuProcessus().fils << " threads, " << RessourcesDuProcessus().fichiers << " files";
    EXPECT_EQ(form->JournauxDeLaSession().size(), 20u);
    EXPECT_TRUE(boxes.all.empty());
}

} // namespace

namespace {

TEST_F(LecturesEnFondTest, the_virtual_benchs_settings_are_remembered_per_pc_and_said_in_the_caption_and_journal)
{
    // Another source: no « Réaction simulée… ».
    EXPECT_EQ(form->Reactionsimulee1, nullptr);
    const QString reglages = QString::fromStdString(std::string(racine_) + "/config/nelvar.ini");
    form->FichierReglages = reglages;
    auto banc = std::make_shared<Banc::Reglages>();
    form->BrancherBanc(banc);
    ASSERT_NE(form->Reactionsimulee1, nullptr);
    EXPECT_EQ(form->Analyse1->actions().back(), form->Reactionsimulee1);

    // Set at 35 °C over 300 mL of gas: the caption and the run's journal say it.
    const std::string ligne = "θ = 35 °C ; [H2O2]0 = 0,10 mol/L ; [I-] = 0,10 mol/L ; V solution = 50 mL ; "
                              "V gaz = 300 mL";
    form->ReglerBanc({35, 0.10, 0.10, 50, 300});
    EXPECT_TRUE(form->windowTitle().toStdString().ends_with(" — " + ligne)) << form->windowTitle().toStdString();
    form->Button1->click();
    TickComplet();
    form->Button1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return LignesDuJournal() == 1; }, 20000));
    EXPECT_NE(Contenu(form->JournauxDeLaSession().back()).find("\n# réaction simulée : " + ligne + "\n"),
              std::string::npos);

    // The next session on this PC reads them back; a value edited out of
    // bounds by hand gives the defaults back.
    form.reset();
    form = std::make_unique<TForm1>(source, boxes, &platform);
    form->FichierReglages = reglages;
    auto suivant = std::make_shared<Banc::Reglages>();
    form->BrancherBanc(suivant);
    EXPECT_EQ(Banc::Texte(suivant->Lire()), ligne);
    QSettings(reglages, QSettings::IniFormat).setValue(QStringLiteral("banc/temperature"), 150);
    auto horsBornes = std::make_shared<Banc::Reglages>();
    form->BrancherBanc(horsBornes);
    EXPECT_EQ(Banc::Texte(horsBornes->Lire()),
              "θ = 20 °C ; [H2O2]0 = 0,123 mol/L ; [I-] = 0,10 mol/L ; V solution = 50 mL ; V gaz = 250 mL");
    EXPECT_TRUE(boxes.all.empty());
}

} // namespace
