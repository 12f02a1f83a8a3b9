// The window with its readings on the reading thread: a source that stops
// answering holds neither the window's queue nor its ticks, a stop or a
// close during a blocked reading waits for it and records nothing of it, and
// the journal gets every reading taken.
#include "app/LecturesEnFond.h"
#include "app/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "acquisition/Clocks.h"
#include "chart/TChart.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
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
        form->MesurerEnFond();
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
        const int avant = UPrincipal::NombreDePoints;
        Tick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return UPrincipal::NombreDePoints == avant + 1; }, 20000));
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
    EXPECT_EQ(UPrincipal::NombreDePoints, 1);

    // Once the source answers, its reading is the run's second point.
    source.Lacher();
    ASSERT_TRUE(QTest::qWaitFor([] { return UPrincipal::NombreDePoints == 2; }, 20000));
    EXPECT_EQ(form->Series1->Count(), 2);
    EXPECT_EQ(source.lectures, 2);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(LecturesEnFondTest, a_stop_during_a_held_reading_waits_for_it_and_records_nothing_of_it)
{
    form->Button1->click();
    TickComplet();
    TickComplet();
    std::future<void> entree = source.Retenir();
    Tick();
    entree.wait();

    // The stop waits for the reading: the source is let go from elsewhere.
    std::thread lacheur([&] { source.Lacher(); });
    form->Button1->click();
    lacheur.join();
    QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);

    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_EQ(UPrincipal::NombreDePoints, 2);
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

} // namespace
