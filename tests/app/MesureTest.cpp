// The measurement run on scripted card words: start, ticks, stop, the
// fields refused at start, and the failures of a tick.
#include "tests/app/support/FenetreFixture.h"

#include <QAction>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Codes of the converter and the voltages they give (the driver's formula:
// (code - 2047.5) × 10.24 / 4094).
constexpr double kUnVolt = 399.5 * 10.24 / 4094; // code 2447: 0.999237909... V

std::vector<std::uint16_t> Alternes(std::uint16_t a, std::uint16_t b, int paires)
{
    std::vector<std::uint16_t> mots;
    for (int i = 0; i < paires; ++i) {
        mots.push_back(SimulatedCard::DataWord(a));
        mots.push_back(SimulatedCard::DataWord(b));
    }
    return mots;
}

} // namespace

class MesureTest : public FenetreTest {
protected:
    void Non() { form->RadioGroup1->SetItemIndex(1); }
};

TEST_F(MesureTest, start_clears_the_results_reads_the_fields_and_greys_them)
{
    Click();
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Button1->text(), QStringLiteral("&Arrêt"));
    EXPECT_TRUE(UPrincipal::PEtMoinsP);
    EXPECT_EQ(UPrincipal::Coefficient, 100000.0);
    EXPECT_EQ(UPrincipal::Volume, static_cast<double>(0.25L / 1000));
    EXPECT_EQ(UPrincipal::Temperature, 293.0);
    for (QWidget* champ : {static_cast<QWidget*>(form->RadioGroup1), static_cast<QWidget*>(form->Edit1),
                           static_cast<QWidget*>(form->Edit2), static_cast<QWidget*>(form->Edit3)})
        EXPECT_FALSE(champ->isEnabled());
    EXPECT_TRUE(form->Edit4->isEnabled());
    EXPECT_TRUE(form->Edit5->isEnabled());
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(MesureTest, non_mode_turns_channel_one_into_pressure_amount_and_a_first_avancement_of_zero)
{
    // Given the default fields, "Non", and about 1 V on channel 1.
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();

    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0,999238"));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("0,00125061"));
    const double p = kUnVolt * 100000; // 99 923.79 Pa
    EXPECT_NEAR(static_cast<double>(form->P->MesuresVoie1[0]), p, 1e-9);
    EXPECT_NEAR(static_cast<double>(form->P->ModuleFFT[0]), kUnVolt, 1e-15);
    EXPECT_EQ(form->P->MesuresVoie2[0], 0.0L);
    EXPECT_NEAR(*form->QuantiteInitiale(), p * 0.00025 / (8.314 * 293), 1e-15);
    ASSERT_EQ(Points1(), 1);
    EXPECT_DOUBLE_EQ(form->Series1->XValue(0), 1.00013);
    EXPECT_NEAR(form->Series1->YValue(0), p / 100, 1e-11);
    EXPECT_EQ(form->Series1->ValueColor(0), clRed);
    EXPECT_EQ(Points2(), 0);
    EXPECT_EQ(form->NombreDePoints(), 1);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(MesureTest, oui_mode_takes_half_the_difference_of_the_two_channels)
{
    // Channel 2 carries exactly minus channel 1 (codes symmetric about 2047.5).
    SetCodes(2247, 1848);
    Click();
    Tick();
    const double u1 = form->P->TensionVoie1;
    EXPECT_EQ(form->P->TensionVoie2, -u1);
    EXPECT_NEAR(u1, 0.498994, 1e-6);
    EXPECT_NEAR(static_cast<double>(form->P->ModuleFFT[0]), u1, 1e-15);
    EXPECT_NEAR(static_cast<double>(form->P->MesuresVoie1[0]), 49899.365, 0.001);
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("-0,498994"));
}

TEST_F(MesureTest, second_tick_plots_on_both_charts_the_rise_of_the_amount_of_gas)
{
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    SetCodes(2455, 2048); // 8 codes more: +2000.98 Pa
    Tick();

    ASSERT_EQ(Points1(), 2);
    ASSERT_EQ(Points2(), 1);
    EXPECT_DOUBLE_EQ(form->Series1->XValue(1), 2.00026);
    EXPECT_DOUBLE_EQ(form->Series2->XValue(0), 2.00026);
    const double dp = 8 * 10.24 / 4094 * 100000;
    const double avancement = dp * 0.00025 / (8.314 * 293); // about 0.00020535 mol
    EXPECT_NEAR(static_cast<double>(form->P->MesuresVoie2[1]), avancement, 1e-15);
    EXPECT_NEAR(form->Series2->YValue(0), avancement, 1e-15);
    EXPECT_EQ(form->Series2->ValueColor(0), clLime);
    EXPECT_EQ(form->NombreDePoints(), 2);
}

TEST_F(MesureTest, channels_averaging_exactly_the_middle_code_show_zero)
{
    // 314 samples alternating 2047 and 2048 average 2047.5: 0 V. The first
    // word of channel 1 is read and discarded.
    std::vector<std::uint16_t> voie1{SimulatedCard::DataWord(0)};
    const auto alternes = Alternes(2047, 2048, 157);
    voie1.insert(voie1.end(), alternes.begin(), alternes.end());
    ports.QueueWords(kPortVoie1, voie1);
    ports.QueueWords(kPortVoie2, alternes);
    Click();
    Tick();
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("0"));
}

TEST_F(MesureTest, the_limits_of_the_volume_and_the_temperature_are_accepted_and_kept_as_typed)
{
    // 0,05 L and 5 L are accepted (the limit's own conversion to m³); so are
    // 127 °C (400 K) and anything above -273 °C.
    struct Cas {
        const char* volume;
        const char* temperature;
        double m3;
        double kelvins;
    };
    Non();
    SetCodes(2447, 2048);
    for (const Cas& cas : {Cas{"0,05", "127", static_cast<double>(0.05L / 1000), 400},
                           Cas{"5", "-272,5", static_cast<double>(5.0L / 1000), 0.5}}) {
        SCOPED_TRACE(std::string(cas.volume) + " L, " + cas.temperature + " °C");
        form->Edit1->setText(QString::fromUtf8(cas.volume));
        form->Edit2->setText(QString::fromUtf8(cas.temperature));
        Click();
        ASSERT_TRUE(UPrincipal::EnMarche);
        Tick();
        EXPECT_EQ(UPrincipal::Volume, cas.m3);
        EXPECT_EQ(UPrincipal::Temperature, cas.kelvins);
        Click();
    }
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(MesureTest, tick_1024_stops_the_run_says_so_and_still_records_its_point)
{
    Non();
    SetCodes(2447, 2048);
    Click();
    for (int i = 0; i < 1023; ++i)
        Tick();
    ASSERT_TRUE(UPrincipal::EnMarche);
    ASSERT_TRUE(boxes.all.empty());

    // The box comes before the point is shown; the pressure changes while
    // it is open, but the point is the reading of its own tick, taken before
    // the box (which may stay open for any time).
    int pointsPendantLeMessage = -1;
    boxes.whileMessageOpen = [&] {
        pointsPendantLeMessage = Points1();
        SetCodes(2847, 2048);
    };
    Tick();
    EXPECT_EQ(boxes.messages, std::vector<std::string>{"trop de points de mesure"});
    EXPECT_EQ(pointsPendantLeMessage, 1023);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0,999238"));
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Button1->text(), QStringLiteral("M&arche"));
    EXPECT_TRUE(form->Edit1->isEnabled());
    EXPECT_EQ(form->NombreDePoints(), 1024);
    ASSERT_EQ(Points1(), 1024);
    EXPECT_DOUBLE_EQ(form->Series1->XValue(1023), 1024 * 1.00013);
    EXPECT_NEAR(static_cast<double>(form->P->MesuresVoie1[1023]), kUnVolt * 100000, 1e-9);
    EXPECT_EQ(Points2(), 1023);
}

TEST_F(MesureTest, stopping_keeps_the_data_and_starting_again_clears_it)
{
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    Tick();
    Click();
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Button1->text(), QStringLiteral("M&arche"));
    EXPECT_EQ(Points1(), 2);
    EXPECT_EQ(form->NombreDePoints(), 2);
    EXPECT_NE(form->P->MesuresVoie1[1], 0.0L);

    // Marks in the row and columns that a start leaves alone.
    form->P->MesuresVoie1[1024] = 7;
    form->P->PartieReelleFFT[0] = 8;
    form->P->PartieImaginaireFFT[5] = 9;
    const double quantiteAvant = *form->QuantiteInitiale();
    SetCodes(2547, 2048);
    Click();
    EXPECT_EQ(Points1(), 0);
    EXPECT_EQ(Points2(), 0);
    EXPECT_EQ(form->NombreDePoints(), 0);
    for (int ligne = 0; ligne < 1024; ++ligne) {
        ASSERT_EQ(form->P->MesuresVoie1[ligne], 0.0L) << ligne;
        ASSERT_EQ(form->P->MesuresVoie2[ligne], 0.0L) << ligne;
        ASSERT_EQ(form->P->ModuleFFT[ligne], 0.0L) << ligne;
    }
    EXPECT_EQ(form->P->MesuresVoie1[1024], 7.0L);
    EXPECT_EQ(form->P->PartieReelleFFT[0], 8.0L);
    EXPECT_EQ(form->P->PartieImaginaireFFT[5], 9.0L);

    Tick();
    EXPECT_GT(*form->QuantiteInitiale(), quantiteAvant); // taken again at the new first point
    EXPECT_EQ(form->P->MesuresVoie2[0], 0.0L);
}

TEST_F(MesureTest, a_field_refused_at_start_shows_why_starts_nothing_and_keeps_the_previous_run)
{
    // Given a stopped run of two points.
    Montrer();
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    Tick();
    Click();
    // What a refused start must leave as it was: the stopped window, the
    // run's points and the values its ticks used.
    const auto etat = [&] {
        return std::make_tuple(UPrincipal::EnMarche, form->Timer1->isActive(), form->Button1->text().toStdString(),
                               form->Edit1->isEnabled(), Points1(), Points2(), form->P->MesuresVoie1[1],
                               UPrincipal::Coefficient, UPrincipal::Volume, UPrincipal::Temperature,
                               form->QuantiteInitiale());
    };
    const auto arrete = etat();
    ASSERT_EQ(std::get<2>(arrete), "M&arche");

    struct Cas {
        QLineEdit* champ;
        const char* texte;
        const char* erreur;
    };
    const std::string nonNombre = "' n'est pas une valeur en virgule flottante correcte.";
    const std::string volume = "Le volume doit être compris entre 0,05 et 5 L.";
    const std::string temperature = "La température doit être supérieure à -273 °C et ne pas dépasser 127 °C.";
    for (const Cas& cas : {Cas{form->Edit1, "0.25", nullptr}, Cas{form->Edit1, "", nullptr},
                           Cas{form->Edit3, "cent", nullptr}, Cas{form->Edit1, "0,0499", volume.c_str()},
                           Cas{form->Edit1, "10", volume.c_str()}, Cas{form->Edit2, "-273", temperature.c_str()},
                           Cas{form->Edit2, "127,001", temperature.c_str()},
                           Cas{form->Edit3, "0", "Le coefficient ne doit pas être nul."},
                           Cas{form->Edit3, "-0", "Le coefficient ne doit pas être nul."},
                           Cas{form->Edit3, "1E400", "Débordement en virgule flottante."}}) {
        SCOPED_TRACE(cas.texte);
        const QString avant = cas.champ->text();
        cas.champ->setText(QString::fromUtf8(cas.texte));
        form->Button1->setFocus();
        boxes.errors.clear();
        Click();

        const std::string attendu = cas.erreur ? cas.erreur : "'" + std::string(cas.texte) + nonNombre;
        EXPECT_EQ(boxes.errors, std::vector<std::string>{attendu});
        EXPECT_EQ(etat(), arrete);
        // The focus waits in the refused field, its text selected.
        EXPECT_EQ(QApplication::focusWidget(), cas.champ);
        EXPECT_EQ(cas.champ->selectedText(), cas.champ->text());
        cas.champ->setText(avant);
    }
}

TEST_F(MesureTest, the_fields_are_checked_coefficient_first_then_volume_then_temperature)
{
    struct Cas {
        const char* coefficient;
        const char* volume;
        std::string erreur;
    };
    form->Edit2->setText(QStringLiteral("500"));
    for (const Cas& cas : {Cas{"0", "0.25", "Le coefficient ne doit pas être nul."},
                           Cas{"1", "0.25", "'0.25' n'est pas une valeur en virgule flottante correcte."},
                           Cas{"1", "1", "La température doit être supérieure à -273 °C et ne pas dépasser 127 °C."}}) {
        boxes.errors.clear();
        form->Edit3->setText(QString::fromUtf8(cas.coefficient));
        form->Edit1->setText(QString::fromUtf8(cas.volume));
        Click();
        EXPECT_EQ(boxes.errors, std::vector<std::string>{cas.erreur});
    }
}

TEST_F(MesureTest, limits_in_the_messages_follow_the_decimal_separator)
{
    SetDecimalSeparator('.');
    form->Edit1->setText(QStringLiteral("0.01"));
    Click();
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Le volume doit être compris entre 0.05 et 5 L."});
}

// Fields whose first amount of gas overflows a double: every tick plots and
// stores its pressure, then fails.
class DebordementTest : public MesureTest {
protected:
    void SetUp() override
    {
        MesureTest::SetUp();
        Non();
        SetCodes(4095, 2048);
        form->Edit3->setText(QStringLiteral("1E308"));
        form->Edit1->setText(QStringLiteral("5"));
        form->Edit2->setText(QStringLiteral("-272,999"));
    }
};

TEST_F(DebordementTest, a_tick_failing_at_every_point_does_not_stack_error_boxes)
{
    Click();
    ASSERT_TRUE(boxes.errors.empty());

    // The first failure opens a box; while it is open three more ticks fail
    // at the same step and show nothing.
    boxes.whileErrorOpen = [&] {
        boxes.whileErrorOpen = nullptr;
        for (int i = 0; i < 3; ++i)
            Tick();
    };
    Tick();
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Débordement en virgule flottante."});
    EXPECT_EQ(form->NombreDePoints(), 4);
    // Each tick plotted and stored its pressure, then stopped at the amount
    // of gas: no first amount, no avancement, no second chart point.
    EXPECT_EQ(Points1(), 4);
    EXPECT_EQ(Points2(), 0);
    EXPECT_FALSE(form->QuantiteInitiale());
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_TRUE(form->Timer1->isActive());

    // Once the box is closed, the next failure is shown again.
    Tick();
    EXPECT_EQ(boxes.errors.size(), 2u);
}

TEST_F(DebordementTest, the_timer_keeps_ticking_while_a_failed_ticks_error_box_is_open)
{
    // The real timer, quickened: every tick fails and the first one's box
    // stays open until three more ticks have come; the run is stopped before
    // it closes.
    form->Timer1->setInterval(1);
    bool ticksPendantLaBoite = false;
    boxes.whileErrorOpen = [&] {
        boxes.whileErrorOpen = nullptr;
        ticksPendantLaBoite = QTest::qWaitFor([&] { return form->NombreDePoints() >= 4; }, 20000);
        Click();
    };
    Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.errors.empty() && !UPrincipal::EnMarche; }, 20000));
    QCoreApplication::sendPostedEvents();

    EXPECT_TRUE(ticksPendantLaBoite);
    EXPECT_GE(form->NombreDePoints(), 4);
    EXPECT_EQ(Points1(), form->NombreDePoints());
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Débordement en virgule flottante."});
}

TEST_F(MesureTest, a_reading_that_fails_records_nothing_stops_the_run_and_says_so_once)
{
    // Given two points, then a card whose sampling clock stops answering.
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    Tick();
    ports.SetTimerStuck(true);
    Tick();

    EXPECT_EQ(boxes.errors,
              std::vector<std::string>{"L'horloge d'échantillonnage ne répond pas (port 0x61) : mesure abandonnée."});
    // Stopped as "Arrêt" stops a run.
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Button1->text(), QStringLiteral("M&arche"));
    EXPECT_TRUE(form->Edit1->isEnabled());
    // The two points taken before stay; the failed tick left no trace.
    EXPECT_EQ(Points1(), 2);
    EXPECT_EQ(Points2(), 1);
    EXPECT_EQ(form->P->MesuresVoie1[2], 0.0L);
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("0,999238"));

    // They can be copied: the header and two rows.
    boxes.messages.clear();
    form->Copier1->trigger();
    ASSERT_EQ(platform.clipboard.size(), 1u);
    EXPECT_EQ(platform.clipboard[0], form->P->TexteMesures(2, 0));
    EXPECT_EQ(std::count(platform.clipboard[0].begin(), platform.clipboard[0].end(), '\r'), 3);
}

TEST_F(MesureTest, a_first_reading_that_fails_leaves_the_next_run_its_own_first_amount)
{
    // A first run, then a second whose first reading fails.
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    Click();
    ports.SetTimerStuck(true);
    Click();
    Tick();
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_EQ(form->NombreDePoints(), 0);
    EXPECT_EQ(Points1(), 0);
    EXPECT_EQ(boxes.errors.size(), 1u);

    // The next run measures its avancement from its own first point.
    ports.SetTimerStuck(std::nullopt);
    SetCodes(2847, 2048);
    Click();
    Tick();
    Tick();
    EXPECT_EQ(form->NombreDePoints(), 2);
    EXPECT_EQ(form->P->MesuresVoie2[1], 0.0L);
}

TEST_F(MesureTest, a_tick_that_the_timer_gave_before_the_stop_records_nothing)
{
    Click();
    QMetaObject::invokeMethod(form->Timer1, "timeout"); // the tick's own event not yet handled
    Click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(form->NombreDePoints(), 0);
    EXPECT_EQ(Points1(), 0);
}

// The run object holds what the table and the charts show: its conditions
// as checked at the start, and one reading a tick with both voltages, the
// pressure, the extent and both times. An observer added during the run is
// told of the next tick once the table has its row.
TEST_F(MesureTest, the_run_holds_its_conditions_and_each_reading_the_table_shows)
{
    Non();
    SetCodes(2447, 2048);
    Click();
    Tick();
    Essai* essai = form->EssaiCourant();
    ASSERT_NE(essai, nullptr);
    std::vector<long double> vuDansLeTableau;
    essai->Observer([&](const Essai&, const LectureEssai& lecture) {
        vuDansLeTableau.push_back(form->P->MesuresVoie1[static_cast<std::size_t>(lecture.rang)]);
    });
    SetCodes(2457, 2048);
    Tick();

    const ConditionsEssai& conditions = essai->Conditions();
    EXPECT_DOUBLE_EQ(*conditions.volume, 0.25); // L and °C, as typed and as the journal writes them
    EXPECT_EQ(conditions.temperature, 20.0);
    EXPECT_EQ(conditions.coefficient, 100000.0);
    EXPECT_FALSE(conditions.pEtMoinsP);
    EXPECT_EQ(conditions.source, "carte d'acquisition");
    ASSERT_EQ(essai->Nombre(), 2);
    for (int i = 0; i < 2; ++i) {
        const LectureEssai& lecture = essai->Lectures()[static_cast<std::size_t>(i)];
        EXPECT_EQ(lecture.rang, i);
        EXPECT_EQ(lecture.pression, form->P->MesuresVoie1[static_cast<std::size_t>(i)]);
        ASSERT_TRUE(lecture.avancement);
        EXPECT_EQ(*lecture.avancement, form->P->MesuresVoie2[static_cast<std::size_t>(i)]);
        EXPECT_NEAR(lecture.tempsReel, i * 1.00013, 1e-12);
        EXPECT_NEAR(lecture.tempsTick, i * 1.00013, 1e-12);
        EXPECT_DOUBLE_EQ(lecture.tension2, Tension(2048));
    }
    EXPECT_DOUBLE_EQ(essai->Lectures()[0].tension1, kUnVolt);
    EXPECT_DOUBLE_EQ(essai->Lectures()[1].tension1, Tension(2457));
    EXPECT_EQ(vuDansLeTableau, std::vector<long double>{form->P->MesuresVoie1[1]});

    // A new run is a new object; the stopped one's readings are not its.
    Click();
    Click();
    ASSERT_NE(form->EssaiCourant(), nullptr);
    EXPECT_EQ(form->EssaiCourant()->Nombre(), 0);
}

// A tick whose amount of gas overflows keeps its pressure in the run, with
// no extent: what the table and the first chart show of it.
TEST_F(DebordementTest, the_run_keeps_the_pressure_of_a_tick_whose_extent_failed)
{
    Click();
    Tick();
    ASSERT_EQ(boxes.errors, std::vector<std::string>{"Débordement en virgule flottante."});
    ASSERT_NE(form->EssaiCourant(), nullptr);
    ASSERT_EQ(form->EssaiCourant()->Nombre(), 1);
    EXPECT_EQ(form->EssaiCourant()->Lectures()[0].pression, form->P->MesuresVoie1[0]);
    EXPECT_FALSE(form->EssaiCourant()->Lectures()[0].avancement);
    EXPECT_EQ(Points1(), 1);
}
