// The box's protocol on the program's side: lines parsed, commands formed,
// and a reading turned into the manometer's voltages.
#include "acquisition/boitier/ProtocoleBoitier.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace Boitier;

TEST(ProtocoleBoitier, reads_the_identification_through_noise_and_refuses_malformed_ones)
{
    const std::tuple<std::string, int, const char*> cas[] = {
        {"ID NELVAR-BOITIER 1 MPX5700AP", 1, "MPX5700AP"},
        {std::string("\xF0\x00\x7F", 3) + "ID NELVAR-BOITIER 1 MPX4250AP", 1, "MPX4250AP"},
        {"ID NELVAR-BOITIER 2 XYZ", 2, "XYZ"},
        {"ID NELVAR-BOITIER 1", 0, ""}, {"ID NELVAR-BOITIER  1 MPX5700AP", 0, ""},
        {"ID NELVAR-BOITIER 1 MPX5700AP x", 0, ""}, {"ID NELVAR-BOITIER -1 MPX5700AP", 0, ""},
    };
    for (const auto& [ligne, version, capteur] : cas) {
        const std::optional<Identification> id = LireIdentification(ligne);
        ASSERT_EQ(id.has_value(), version != 0) << ligne;
        if (id) {
            EXPECT_EQ(std::tie(id->version, id->capteur), std::tie(version, capteur));
        }
    }
    EXPECT_EQ(CapteurNomme("MPX4250AP"), Capteur::MPX4250AP);
    EXPECT_EQ(CapteurNomme("MPX5700"), std::nullopt);
}

TEST(ProtocoleBoitier, forms_the_measure_command_only_within_what_the_box_accepts)
{
    const std::tuple<std::int32_t, double, const char*> cas[] = {
        {314, 15700, "M 314 15700\n"}, {4096, 2048, "M 4096 2048\n"}, {10, 99.5, "M 10 100\n"},
        {10, 20000.4, "M 10 20000\n"}, {4096, 2047, nullptr},        {0, 1000, nullptr},
        {4097, 20000, nullptr},        {10, 20000.5, nullptr},       {10, std::nan(""), nullptr},
    };
    for (const auto& [n, f, commande] : cas)
        EXPECT_EQ(CommandeMesure(n, f), commande ? std::optional<std::string>(commande) : std::nullopt) << n << " " << f;
}

TEST(ProtocoleBoitier, reads_measure_answers_to_the_count_asked_within_the_adc_range_and_error_answers)
{
    const std::pair<const char*, bool> cas[] = {
        {"M 314 1019 321222 321222", true}, {"M 314 160000 1 2", true},  {"M 314 1019 321223 0", false},
        {"M 313 1019 1 2", false},          {"M 314 799 1 2", false},    {"M 314 1019 1 2 ", false},
        {"M 314 1019 -1 2", false},         {"M 314 1019 1", false},     {"M 314 1019 0 321223", false},
    };
    for (const auto& [ligne, valable] : cas)
        EXPECT_EQ(LireMesure(ligne, 314).has_value(), valable) << ligne;
    const std::optional<Mesure> mesure = LireMesure("M 314 1019 54636 321", 314);
    ASSERT_TRUE(mesure);
    EXPECT_EQ(std::tie(mesure->cycles, mesure->somme0, mesure->somme1), std::make_tuple(1019, 54636LL, 321LL));

    const std::optional<Erreur> retard = LireErreur("ERR 3 echantillon en retard");
    ASSERT_TRUE(retard);
    EXPECT_EQ(std::tie(retard->code, retard->mots), std::make_tuple(3, std::string("echantillon en retard")));
    EXPECT_FALSE(LireErreur("ERR x"));
    EXPECT_EQ(MessageErreur({9, "panne"}, 314, 15700), "Le boîtier de mesure a répondu par une erreur inconnue : « ERR 9 panne ».");
}

// A pressure through each sensor's datasheet transfer function, then back
// through a reading of 1000 samples: 1 V per 100 kPa on channel 1, its
// negative on channel 2, within one ADC step.
TEST(ProtocoleBoitier, turns_each_sensors_reading_into_the_manometers_voltages)
{
    const std::tuple<Capteur, double, double, double> cas[] = {
        // sensor, kPa, Vout/Vs per kPa, Vout/Vs at 0 kPa
        {Capteur::MPX5700AP, 101.3, 0.0012858, 0.04}, {Capteur::MPX5700AP, 650, 0.0012858, 0.04},
        {Capteur::MPX4250AP, 101.3, 0.004, -0.04},    {Capteur::MPX4250AP, 20, 0.004, -0.04},
    };
    for (const auto& [capteur, kPa, pente, decalage] : cas) {
        const double rapport = pente * kPa + decalage;
        const LectureTensions lecture = Tensions(capteur, {1019, std::llround(rapport * 1024 * 1000), 7}, 1000);
        EXPECT_NEAR(lecture.tensionVoie1, kPa / 100, 1 / 1024.0 / pente / 100 / 1000) << NomCapteur(capteur);
        EXPECT_EQ(lecture.tensionVoie2, -lecture.tensionVoie1);
        EXPECT_DOUBLE_EQ(lecture.frequence, 16e6 / 1019);
    }
}

// The rate the component is told a reading will use: the box's Timer1 period
// in whole CPU cycles for the frequency rounded to whole hertz, the nearest
// end of 100..20 000 Hz when the rate is refused. Values from a calculator:
// 16e6 / round(16e6 / f).
TEST(ProtocoleBoitier, gives_the_rate_its_timer_runs_at_and_refuses_those_beyond_it)
{
    const std::tuple<double, double, bool> cas[] = {
        // asked (Hz), rate used (Hz), accepted
        {15700, 15701.668302257114, true}, {12345.4, 12345.67901234568, true},
        {100, 100, true},                  {99.5, 100, true},
        {99.4, 100, false},                {20000.4, 20000, true},
        {20000.5, 20000, false},           {700000, 20000, false},
        {0, 100, false},                   {-5, 100, false},
    };
    for (const auto& [demandee, utilisee, acceptee] : cas) {
        const Cadence cadence = CadenceMesure(demandee);
        EXPECT_DOUBLE_EQ(cadence.frequence, utilisee) << demandee;
        EXPECT_EQ(cadence.acceptee, acceptee) << demandee;
        // What the box accepts as a command, it accepts as a rate.
        EXPECT_EQ(CommandeMesure(1, demandee).has_value(), acceptee) << demandee;
    }
}

} // namespace
