// The program's side against the box's real firmware on the simulated
// microcontroller: the pressure a driven voltage means, a late sample, a
// reset and an unplugged box.
#include "acquisition/boitier/BoitierUsb.h"
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"
#include "tests/acquisition/support/BoitierSimule.h"

#include "tests/acquisition/support/ChienDeGarde.h"

#include <gtest/gtest.h>

namespace {

// The simulated converter gives floor(mV x 1023 / 5000); the program reads
// code / 1024 as the sensor's Vout/Vs: two steps cover both.
constexpr double kPasRapport = 2.0 / 1024;
// The simulator keeps the wall clock's pace only as far as the machine lets
// it: room for a loaded one.
const DelaisBoitier kDelais{std::chrono::seconds(10), std::chrono::milliseconds(400),
                            std::chrono::milliseconds(150), std::chrono::seconds(10)};

// The failure message of the program's reading, "" when it gives one.
std::string Echec(TDravoC& carte)
{
    try {
        carte.MesurerTensions(314, 15700);
    } catch (const ELectureImpossible& echec) {
        return echec.what();
    }
    return "";
}

TEST(Micrologiciel, the_program_reads_the_pressure_the_driven_voltage_means)
{
    const ChienDeGarde garde(std::chrono::seconds(60));
    const std::tuple<const char*, double, double, std::vector<int>> cas[] = {
        // sensor, Vout/Vs per kPa, Vout/Vs at 0 kPa, millivolts on A0
        {"MPX5700AP", 0.0012858, 0.04, {851, 3000, 4700}},
        {"MPX4250AP", 0.004, -0.04, {1826, 300, 4900}},
    };
    for (const auto& [capteur, pente, decalage, millivolts] : cas) {
        BoitierSimule simulateur(NELVAR_BOX_SIM, capteur, 0);
        Issue<std::unique_ptr<BoitierUsb>> ouverture = BoitierUsb::Ouvrir(simulateur.Chemin(), kDelais);
        ASSERT_TRUE(ouverture) << ouverture.Message();
        const std::unique_ptr<BoitierUsb> boitier = std::move(ouverture).Valeur();
        TDravoC carte(*boitier);
        for (const int mV : millivolts) {
            ASSERT_TRUE(simulateur.Commande("a0 " + std::to_string(mV)));
            carte.MesurerTensions(314, 15700);
            EXPECT_NEAR(carte.TensionVoie1 * 100, (mV / 5000.0 - decalage) / pente, kPasRapport / pente)
                << capteur << " at " << mV << " mV";
        }
    }
}

TEST(Micrologiciel, a_late_sample_and_a_reset_fail_one_reading_each_and_an_unplugged_box_no_longer_answers)
{
    const ChienDeGarde garde(std::chrono::seconds(60));
    BoitierSimule simulateur(NELVAR_BOX_SIM, "MPX5700AP", 851);
    Issue<std::unique_ptr<BoitierUsb>> ouverture = BoitierUsb::Ouvrir(simulateur.Chemin(), kDelais);
    ASSERT_TRUE(ouverture) << ouverture.Message();
    const std::unique_ptr<BoitierUsb> boitier = std::move(ouverture).Valeur();
    TDravoC carte(*boitier);

    // Control lines the simulator cannot follow are refused.
    for (const char* faute : {"a0 5001", "a2 100", "stall"})
        EXPECT_FALSE(simulateur.Commande(faute)) << faute;
    ASSERT_TRUE(simulateur.Commande("stall 100000"));
    EXPECT_EQ(Echec(carte), "Le boîtier de mesure n'a pas pu prendre ses échantillons à temps : la lecture est "
                            "arrivée en retard et a été abandonnée.");
    EXPECT_EQ(carte.CodeErreur, 7);
    EXPECT_EQ(Echec(carte), "");

    ASSERT_TRUE(simulateur.Commande("reset"));
    EXPECT_EQ(Echec(carte), BoitierUsb::kMessageRedemarre);
    // The next reading is of the pressure now, not an answer left from before.
    ASSERT_TRUE(simulateur.Commande("a0 3000"));
    EXPECT_EQ(Echec(carte), "");
    EXPECT_NEAR(carte.TensionVoie1 * 100, (0.6 - 0.04) / 0.0012858, kPasRapport / 0.0012858);

    simulateur.Debrancher();
    EXPECT_EQ(Echec(carte), "Le boîtier de mesure ne répond plus.");
}

} // namespace
