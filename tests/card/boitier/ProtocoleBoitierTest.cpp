// The box's protocol on the program's side: the lines parsed, the commands
// formed, and the conversion of a reading into the manometer's voltages.
#include "card/ProtocoleBoitier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace Boitier;

TEST(ProtocoleBoitier, reads_the_identification_and_refuses_malformed_ones)
{
    struct Cas {
        std::string ligne;
        int version; // 0: refused
        std::string capteur;
    };
    const Cas cas[] = {
        {"ID NELVAR-BOITIER 1 MPX5700AP", 1, "MPX5700AP"},
        {std::string("\xF0\x00\x7F", 3) + "ID NELVAR-BOITIER 1 MPX4250AP", 1, "MPX4250AP"}, // bootloader noise
        {"ID NELVAR-BOITIER 2 XYZ", 2, "XYZ"},
        {"ID NELVAR-BOITIER 1", 0, ""},
        {"ID NELVAR-BOITIER  1 MPX5700AP", 0, ""},
        {"ID NELVAR-BOITIER 1 MPX5700AP x", 0, ""},
        {"ID NELVAR-BOITIER -1 MPX5700AP", 0, ""},
        {"ID AUTRE 1 MPX5700AP", 0, ""},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.ligne);
        const std::optional<Identification> id = LireIdentification(c.ligne);
        ASSERT_EQ(id.has_value(), c.version != 0);
        if (id) {
            EXPECT_EQ(id->version, c.version);
            EXPECT_EQ(id->capteur, c.capteur);
        }
    }
    EXPECT_EQ(CapteurNomme("MPX4250AP"), Capteur::MPX4250AP);
    EXPECT_EQ(CapteurNomme("MPX5700AP"), Capteur::MPX5700AP);
    EXPECT_EQ(CapteurNomme("MPX5700"), std::nullopt);
}

TEST(ProtocoleBoitier, forms_the_measure_command_only_within_what_the_box_accepts)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infini = std::numeric_limits<double>::infinity();
    const std::pair<std::pair<std::int32_t, double>, const char*> cas[] = {
        {{314, 15700}, "M 314 15700\n"},  {{1, 100}, "M 1 100\n"},       {{4096, 2048}, "M 4096 2048\n"},
        {{10, 99.5}, "M 10 100\n"},       {{10, 20000.4}, "M 10 20000\n"}, {{4096, 2047}, nullptr},
        {{0, 1000}, nullptr},             {{4097, 20000}, nullptr},      {{10, 99.4}, nullptr},
        {{10, 20000.5}, nullptr},         {{10, nan}, nullptr},          {{10, infini}, nullptr},
    };
    for (const auto& [arguments, attendue] : cas) {
        SCOPED_TRACE(std::to_string(arguments.first) + " at " + std::to_string(arguments.second));
        const std::optional<std::string> commande = CommandeMesure(arguments.first, arguments.second);
        EXPECT_EQ(commande, attendue ? std::optional<std::string>(attendue) : std::nullopt);
    }
}

TEST(ProtocoleBoitier, reads_a_measure_answer_only_for_the_count_asked_and_within_the_adc_range)
{
    const std::pair<const char*, bool> cas[] = {
        {"M 314 1019 100000 0", true},   {"M 314 1019 321222 321222", true}, // n x 1023
        {"M 314 800 1 2", true},         {"M 314 160000 1 2", true},
        {"M 314 1019 321223 0", false},  {"M 314 1019 0 321223", false},
        {"M 313 1019 1 2", false},       {"M 314 799 1 2", false},
        {"M 314 160001 1 2", false},     {"M 314 1019 1 2 ", false},
        {"M 314 1019 -1 2", false},      {"M 314 1019 1", false},
        {"M +314 1019 1 2", false},      {"ID NELVAR-BOITIER 1 MPX5700AP", false},
    };
    for (const auto& [ligne, valable] : cas) {
        SCOPED_TRACE(ligne);
        EXPECT_EQ(LireMesure(ligne, 314).has_value(), valable);
    }
    const std::optional<Mesure> mesure = LireMesure("M 314 1019 54636 321", 314);
    ASSERT_TRUE(mesure);
    EXPECT_EQ(mesure->cycles, 1019);
    EXPECT_EQ(mesure->somme0, 54636);
    EXPECT_EQ(mesure->somme1, 321);
}

TEST(ProtocoleBoitier, reads_error_answers_and_words_each_code_in_french)
{
    const std::optional<Erreur> retard = LireErreur("ERR 3 echantillon en retard");
    ASSERT_TRUE(retard);
    EXPECT_EQ(retard->code, 3);
    EXPECT_EQ(retard->mots, "echantillon en retard");
    EXPECT_EQ(LireErreur("ERR 12")->code, 12);
    EXPECT_FALSE(LireErreur("ERR x"));
    EXPECT_FALSE(LireErreur("ERROR 1"));

    EXPECT_EQ(MessageErreur({3, ""}, 314, 15700),
              "Le boîtier de mesure n'a pas pu prendre ses échantillons à temps : la lecture est arrivée en retard "
              "et a été abandonnée.");
    EXPECT_EQ(MessageErreur({2, ""}, 314, 15700), "Le boîtier de mesure refuse une lecture de 314 échantillons à 15700 Hz.");
    EXPECT_EQ(MessageErreur({9, "panne"}, 314, 15700),
              "Le boîtier de mesure a répondu par une erreur inconnue : « ERR 9 panne ».");
    for (const int code : {1, 4})
        EXPECT_NE(MessageErreur({code, ""}, 1, 100).find("Le boîtier de mesure"), std::string::npos);
}

// A pressure through each sensor's datasheet transfer function, then back
// through a reading of 1000 samples: the manometer's voltage, 1 V per
// 100 kPa on channel 1 and its negative on channel 2, within the ADC's step.
TEST(ProtocoleBoitier, turns_each_sensors_reading_into_the_manometers_voltages)
{
    struct Cas {
        Capteur capteur;
        double kPa;
        double rapport; // Vout / Vs from the datasheet
        double pasKPa;  // one ADC step, in kPa
    };
    const Cas cas[] = {
        {Capteur::MPX5700AP, 101.3, 0.0012858 * 101.3 + 0.04, 1 / 1024.0 / 0.0012858},
        {Capteur::MPX5700AP, 650, 0.0012858 * 650 + 0.04, 1 / 1024.0 / 0.0012858},
        {Capteur::MPX4250AP, 101.3, 0.004 * 101.3 - 0.04, 1 / 1024.0 / 0.004},
        {Capteur::MPX4250AP, 20, 0.004 * 20 - 0.04, 1 / 1024.0 / 0.004},
    };
    constexpr std::int32_t n = 1000;
    for (const Cas& c : cas) {
        SCOPED_TRACE(std::string(NomCapteur(c.capteur)) + " " + std::to_string(c.kPa));
        EXPECT_NEAR(PressionKPa(c.capteur, c.rapport), c.kPa, 1e-9);
        const Mesure mesure{1019, std::llround(c.rapport * 1024 * n), 7};
        const LectureTensions lecture = Tensions(c.capteur, mesure, n);
        EXPECT_NEAR(lecture.tensionVoie1, c.kPa / 100, c.pasKPa / 100 / n);
        EXPECT_EQ(lecture.tensionVoie2, -lecture.tensionVoie1);
        EXPECT_DOUBLE_EQ(lecture.frequence, 16e6 / 1019);
    }
}

} // namespace
