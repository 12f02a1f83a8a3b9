// The program's side against the box's real firmware, run on the simulated
// microcontroller behind a pseudo-terminal: the pressure a driven voltage
// means, a reset, an error answer and an unplugged box.
#include "card/BoitierUsb.h"
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"
#include "tests/card/support/BoitierSimule.h"

#include <gtest/gtest.h>

namespace {

// The simulated converter gives floor(mV x 1023 / 5000); the program reads
// code / 1024 as the sensor's Vout/Vs: two steps cover both.
constexpr double kPasRapport = 2.0 / 1024;

struct Session {
    Session(const std::string& capteur, int a0mV) : simulateur(NELVAR_BOX_SIM, capteur, a0mV)
    {
        std::string message;
        boitier = BoitierUsb::Ouvrir(simulateur.Chemin(), message);
        EXPECT_EQ(message, "");
        if (boitier)
            carte = std::make_unique<TDravoC>(*boitier);
    }

    // The failure message of the program's reading, "" when it gives one.
    std::string Echec()
    {
        try {
            carte->MesurerTensions(314, 15700);
        } catch (const ELectureImpossible& echec) {
            return echec.what();
        }
        return "";
    }

    BoitierSimule simulateur;
    std::unique_ptr<BoitierUsb> boitier;
    std::unique_ptr<TDravoC> carte;
};

TEST(Micrologiciel, the_program_reads_the_pressure_the_driven_voltage_means)
{
    struct Cas {
        const char* capteur;
        double pente;    // Vout/Vs per kPa
        double decalage; // Vout/Vs at 0 kPa
        int millivolts[3];
    };
    const Cas cas[] = {
        {"MPX5700AP", 0.0012858, 0.04, {851, 3000, 4700}},
        {"MPX4250AP", 0.004, -0.04, {1826, 300, 4900}},
    };
    for (const Cas& c : cas) {
        Session session(c.capteur, c.millivolts[0]);
        ASSERT_TRUE(session.carte) << c.capteur;
        for (const int mV : c.millivolts) {
            SCOPED_TRACE(std::string(c.capteur) + " at " + std::to_string(mV) + " mV");
            ASSERT_TRUE(session.simulateur.Commande("a0 " + std::to_string(mV)));

            session.carte->MesurerTensions(314, 15700);

            const double pascals = (mV / 5000.0 - c.decalage) / c.pente * 1000;
            EXPECT_NEAR(session.carte->TensionVoie1 * 100000, pascals, kPasRapport / c.pente * 1000);
            EXPECT_EQ(session.carte->TensionVoie2, -session.carte->TensionVoie1);
            EXPECT_DOUBLE_EQ(session.carte->Frequence, 16e6 / 1019);
        }
    }
}

TEST(Micrologiciel, a_reset_box_fails_one_reading_then_reads_again)
{
    Session session("MPX5700AP", 851);
    ASSERT_TRUE(session.carte);
    ASSERT_TRUE(session.simulateur.Commande("reset"));

    EXPECT_EQ(session.Echec(), BoitierUsb::kMessageRedemarre);

    // The next reading is of the pressure now, not an answer left from before.
    ASSERT_TRUE(session.simulateur.Commande("a0 3000"));
    EXPECT_EQ(session.Echec(), "");
    EXPECT_NEAR(session.carte->TensionVoie1 * 100, (0.6 - 0.04) / 0.0012858, kPasRapport / 0.0012858);
}

TEST(Micrologiciel, a_late_sample_is_reported_and_the_next_reading_works)
{
    Session session("MPX5700AP", 851);
    ASSERT_TRUE(session.carte);
    ASSERT_TRUE(session.simulateur.Commande("stall 100000"));

    EXPECT_EQ(session.Echec(), "Le boîtier de mesure n'a pas pu prendre ses échantillons à temps : la lecture est "
                               "arrivée en retard et a été abandonnée.");
    EXPECT_EQ(session.carte->CodeErreur, 7);
    EXPECT_EQ(session.Echec(), "");
}

TEST(Micrologiciel, an_unplugged_box_no_longer_answers)
{
    Session session("MPX4250AP", 1826);
    ASSERT_TRUE(session.carte);
    EXPECT_EQ(session.Echec(), "");

    session.simulateur.Debrancher();

    EXPECT_EQ(session.Echec(), "Le boîtier de mesure ne répond plus.");
}

} // namespace
