#include "card/UDravoC.h"
#include "tests/acquisition/support/EmptyBus.h"
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double kPeriode = 1.00013;
constexpr char kCr = '\r';

// A fresh component on a system whose decimal separator is a comma, with
// Frequence set as the program sets it before every export.
class TexteMesuresTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UDravoC::ReinitialiserEtatUnite();
        separateurAvant_ = DecimalSeparator();
        SetDecimalSeparator(',');
        carte_.Frequence = 1 / kPeriode;
    }
    void TearDown() override
    {
        SetDecimalSeparator(separateurAvant_);
        UDravoC::ReinitialiserEtatUnite();
    }

    // The lines of `texte` without their CR; fails the test when a line is
    // not ended by a single CR or holds a line feed.
    static std::vector<std::string> Lignes(const std::string& texte)
    {
        EXPECT_EQ(texte.find('\n'), std::string::npos) << "line feed in the text";
        EXPECT_TRUE(texte.empty() || texte.back() == kCr) << "the last line has no CR";
        std::vector<std::string> lignes;
        std::size_t debut = 0;
        for (std::size_t cr = texte.find(kCr); cr != std::string::npos; cr = texte.find(kCr, debut)) {
            lignes.push_back(texte.substr(debut, cr - debut));
            debut = cr + 1;
        }
        return lignes;
    }

    static std::vector<std::string> Champs(const std::string& ligne)
    {
        std::vector<std::string> champs;
        std::size_t debut = 0;
        for (;;) {
            const std::size_t tab = ligne.find('\t', debut);
            champs.push_back(ligne.substr(debut, tab - debut));
            if (tab == std::string::npos)
                return champs;
            debut = tab + 1;
        }
    }

    void StockerExempleDeCinqPoints()
    {
        const long double pressions[] = {101325, 101402, 101523, 101671, 101788};
        const long double avancements[] = {0, 7.902292E-6L, 2.032018E-5L, 3.550900E-5L, 4.751638E-5L};
        const long double tensions[] = {1.01325L, 1.01402L, 1.01523L, 1.01671L, 1.01788L};
        for (int i = 0; i < 5; ++i) {
            carte_.MesuresVoie1[i] = pressions[i];
            carte_.MesuresVoie2[i] = avancements[i];
            carte_.ModuleFFT[i] = tensions[i];
        }
    }

    EmptyBus bus_;
    TDravoC carte_{bus_};

private:
    char separateurAvant_ = ',';
};

TEST_F(TexteMesuresTest, lays_out_the_five_point_run_byte_for_byte_in_layouts_0_1_and_2)
{
    StockerExempleDeCinqPoints();

    EXPECT_EQ(carte_.TexteMesures(5, 0),
              "Date, en s\tTension sur la voie 1, en V\r"
              "0\t1,013E5\r1\t1,014E5\r2\t1,015E5\r3\t1,017E5\r4,001\t1,018E5\r");
    EXPECT_EQ(carte_.TexteMesures(5, 1),
              "Date, en s\tTension sur la voie 2, en V\r"
              "0\t0\r1\t7,902E-6\r2\t2,032E-5\r3\t3,551E-5\r4,001\t4,752E-5\r");
    EXPECT_EQ(carte_.TexteMesures(5, 2),
              "Fr\xE9quence en Hz\tModule de la FFT\r"
              "0\t1,013\r0\t1,014\r0\t1,015\r0\t1,017\r0\t1,018\r");
    EXPECT_EQ(carte_.MessageErreur, "");
    EXPECT_EQ(carte_.CodeErreur, 0);
    EXPECT_EQ(carte_.NombreDePointsDeMesure, 5);
}

TEST_F(TexteMesuresTest, writes_the_times_of_the_program_step_at_four_digits)
{
    const std::vector<std::string> lignes = Lignes(carte_.TexteMesures(1024, 0));
    ASSERT_EQ(lignes.size(), 1025u);
    for (int i = 0; i < 1024; ++i) {
        std::string attendu = std::to_string(i);
        if (i >= 4 && i <= 9)
            attendu += ",001";
        else if (i >= 39 && i <= 99)
            attendu += ",01";
        else if (i >= 385 && i <= 999)
            attendu += ",1";
        EXPECT_EQ(Champs(lignes[i + 1])[0], attendu) << "row " << i;
    }
}

TEST_F(TexteMesuresTest, writes_every_value_field_at_precision_4)
{
    const long double valeurs[] = {0,      0.25,    1.01325,  100,     1234,        9999.5,
                                   12345,  101325,  101650,   -101325, 0.0001,      0.000099996,
                                   0.000099994, 0.0000123, -0.0000123, 1E20};
    const char* champs[] = {"0",      "0,25",    "1,013",   "100",      "1234",     "1E4",
                            "1,235E4", "1,013E5", "1,017E5", "-1,013E5", "0,0001",   "0,0001",
                            "9,999E-5", "1,23E-5", "-1,23E-5", "1E20"};
    const int n = static_cast<int>(std::size(valeurs));
    for (int i = 0; i < n; ++i)
        carte_.MesuresVoie1[i] = valeurs[i];
    const std::vector<std::string> lignes = Lignes(carte_.TexteMesures(n, 0));
    ASSERT_EQ(lignes.size(), static_cast<std::size_t>(n + 1));
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(Champs(lignes[i + 1])[1], champs[i]) << "row " << i;
}

TEST_F(TexteMesuresTest, refuses_a_row_count_of_0_and_lays_out_row_0)
{
    int annonces = 0;
    std::string messageAnnonce;
    carte_.OnUsing = [&](TDravoC& c) {
        ++annonces;
        messageAnnonce = c.MessageErreur;
    };
    EXPECT_EQ(carte_.TexteMesures(0, 0), "Date, en s\tTension sur la voie 1, en V\r0\t0\r");
    EXPECT_EQ(annonces, 1);
    EXPECT_EQ(messageAnnonce, "Nombre de points incorrect");
    EXPECT_EQ(carte_.MessageErreur, "Nombre de points incorrect");
    EXPECT_EQ(carte_.CodeErreur, 12);
    EXPECT_EQ(carte_.NombreDePointsDeMesure, 1);
}

TEST_F(TexteMesuresTest, lays_out_at_most_1024_rows)
{
    int annonces = 0;
    carte_.OnUsing = [&](TDravoC&) { ++annonces; };
    carte_.MesuresVoie1[1023] = 5;
    carte_.MesuresVoie1[1024] = 7; // never laid out

    carte_.CodeErreur = 3;
    carte_.MessageErreur = "ancien";
    std::vector<std::string> lignes = Lignes(carte_.TexteMesures(1024, 0));
    EXPECT_EQ(lignes.size(), 1025u);
    EXPECT_EQ(lignes.back(), "1023\t5");
    EXPECT_EQ(carte_.CodeErreur, 3);
    EXPECT_EQ(carte_.MessageErreur, "");
    EXPECT_EQ(carte_.NombreDePointsDeMesure, 1024);
    EXPECT_EQ(annonces, 0);

    for (std::uint16_t trop : {std::uint16_t{1025}, std::uint16_t{65535}}) {
        carte_.CodeErreur = 3;
        lignes = Lignes(carte_.TexteMesures(trop, 0));
        EXPECT_EQ(lignes.size(), 1025u) << trop;
        EXPECT_EQ(lignes.back(), "1023\t5") << trop;
        EXPECT_EQ(carte_.CodeErreur, 12) << trop;
        EXPECT_EQ(carte_.MessageErreur, "Nombre de points incorrect") << trop;
        EXPECT_EQ(carte_.NombreDePointsDeMesure, 1024) << trop;
    }
    EXPECT_EQ(annonces, 2);
}

TEST_F(TexteMesuresTest, takes_one_second_steps_when_the_frequency_is_zero_or_nan)
{
    int annonces = 0;
    carte_.OnUsing = [&](TDravoC&) { ++annonces; };
    for (double frequence : {0.0, -0.0, std::numeric_limits<double>::quiet_NaN()}) {
        carte_.Frequence = frequence;
        carte_.CodeErreur = 3;
        const std::vector<std::string> lignes = Lignes(carte_.TexteMesures(3, 0));
        ASSERT_EQ(lignes.size(), 4u);
        EXPECT_EQ(Champs(lignes[2])[0], "1");
        EXPECT_EQ(Champs(lignes[3])[0], "2");
        EXPECT_EQ(carte_.MessageErreur, "Fréquence incorrecte");
        EXPECT_EQ(carte_.CodeErreur, 3);
    }
    EXPECT_EQ(annonces, 0);

    // Both errors in one call: the code of the first, the message of the second.
    carte_.Frequence = 0;
    carte_.CodeErreur = 0;
    carte_.TexteMesures(0, 0);
    EXPECT_EQ(carte_.CodeErreur, 12);
    EXPECT_EQ(carte_.MessageErreur, "Fréquence incorrecte");
    EXPECT_EQ(annonces, 1);
}

TEST_F(TexteMesuresTest, steps_by_the_inverse_of_any_other_frequency)
{
    carte_.Frequence = -0.5;
    std::vector<std::string> lignes = Lignes(carte_.TexteMesures(4, 0));
    ASSERT_EQ(lignes.size(), 5u);
    EXPECT_EQ(Champs(lignes[2])[0], "-2");
    EXPECT_EQ(Champs(lignes[3])[0], "-4");
    EXPECT_EQ(Champs(lignes[4])[0], "-6");
    EXPECT_EQ(carte_.MessageErreur, "");

    carte_.Frequence = 4;
    lignes = Lignes(carte_.TexteMesures(4, 5));
    ASSERT_EQ(lignes.size(), 5u);
    EXPECT_EQ(Champs(lignes[1])[0], "0");
    EXPECT_EQ(Champs(lignes[2])[0], "0,25");
    EXPECT_EQ(Champs(lignes[3])[0], "0,5");
    EXPECT_EQ(Champs(lignes[4])[0], "0,75");
}

TEST_F(TexteMesuresTest, lays_out_the_spectrum_columns_in_layouts_3_and_4)
{
    const std::string attendu = "Fr\xE9quence en Hz\tPartie r\xE9" "elle de la FFT\tPartie imaginaire de la FFT\r"
                                "0\t0\t0\r0\t0\t0\r";
    EXPECT_EQ(carte_.TexteMesures(2, 3), attendu);
    EXPECT_EQ(carte_.TexteMesures(2, 4), attendu);

    // Given a frequency step and spectrum values, the layouts show them.
    UDravoC::PasFrequenceFFT = 2.5;
    carte_.PartieReelleFFT[1] = 0.5;
    carte_.PartieImaginaireFFT[1] = -3;
    const std::vector<std::string> lignes = Lignes(carte_.TexteMesures(2, 3));
    ASSERT_EQ(lignes.size(), 3u);
    EXPECT_EQ(lignes[2], "2,5\t0,5\t-3");
    EXPECT_EQ(carte_.TexteMesures(2, 4), carte_.TexteMesures(2, 3));
    EXPECT_EQ(Lignes(carte_.TexteMesures(2, 2))[2], "2,5\t0");
}

TEST_F(TexteMesuresTest, lays_out_time_and_both_channels_in_layout_5)
{
    carte_.MesuresVoie1[0] = 101325;
    carte_.MesuresVoie1[1] = 101402;
    carte_.MesuresVoie2[1] = 7.902292E-6L;
    EXPECT_EQ(carte_.TexteMesures(2, 5),
              "Date, en s\tTension sur la voie 1, en V\tTension sur la voie 2, en V\r"
              "0\t1,013E5\t0\r1\t1,014E5\t7,902E-6\r");
}

TEST_F(TexteMesuresTest, gives_an_empty_text_from_layout_6_on_with_the_status_effects)
{
    int annonces = 0;
    carte_.OnUsing = [&](TDravoC&) { ++annonces; };
    carte_.MessageErreur = "ancien";
    EXPECT_EQ(carte_.TexteMesures(7, 6), "");
    EXPECT_EQ(carte_.NombreDePointsDeMesure, 7);
    EXPECT_EQ(carte_.MessageErreur, "");

    carte_.Frequence = 0;
    EXPECT_EQ(carte_.TexteMesures(0, 255), "");
    EXPECT_EQ(carte_.NombreDePointsDeMesure, 1);
    EXPECT_EQ(carte_.CodeErreur, 12);
    EXPECT_EQ(carte_.MessageErreur, "Fréquence incorrecte");
    EXPECT_EQ(annonces, 1);
}

TEST_F(TexteMesuresTest, writes_full_stops_with_the_point_separator_and_leaves_the_comma_in_place)
{
    carte_.SepDecimalPourTransfert = point;
    carte_.MesuresVoie1[0] = 0.25;
    carte_.MesuresVoie1[4] = 12345;
    const std::vector<std::string> lignes = Lignes(carte_.TexteMesures(5, 0));
    ASSERT_EQ(lignes.size(), 6u);
    EXPECT_EQ(lignes[1], "0\t0.25");
    EXPECT_EQ(lignes[5], "4.001\t1.235E4");

    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(ReadNumber("0,5", DecimalSeparator()), 0.5L);
    EXPECT_EQ(FormatGeneral(0.5, 4, DecimalSeparator()), "0,5");
}

TEST_F(TexteMesuresTest, writes_commas_with_the_comma_separator_on_a_point_system)
{
    SetDecimalSeparator('.');
    carte_.MesuresVoie1[0] = 0.25;
    EXPECT_EQ(Lignes(carte_.TexteMesures(1, 0))[1], "0\t0,25");
    EXPECT_EQ(DecimalSeparator(), '.');
}

TEST_F(TexteMesuresTest, an_onusing_handler_sees_the_window_separator_while_the_export_writes_its_own)
{
    // The export passes its separator to each number: the window's setting
    // is never changed, not even while a handler runs or after it throws.
    carte_.SepDecimalPourTransfert = point;
    carte_.MesuresVoie1[0] = 0.25;
    char vu = 0;
    carte_.OnUsing = [&](TDravoC&) { vu = DecimalSeparator(); };
    EXPECT_EQ(Lignes(carte_.TexteMesures(0, 0))[1], "0\t0.25");
    EXPECT_EQ(vu, ',');

    carte_.OnUsing = [](TDravoC&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(carte_.TexteMesures(2000, 1), std::runtime_error);
    EXPECT_EQ(DecimalSeparator(), ',');
}

TEST_F(TexteMesuresTest, leaves_the_table_as_it_was)
{
    for (int i = 0; i < TDravoC::kLignesTableau; ++i) {
        carte_.MesuresVoie1[i] = 101325 + i;
        carte_.MesuresVoie2[i] = i * 1E-6L;
        carte_.ModuleFFT[i] = 1 + i / 1000.0L;
        carte_.PartieReelleFFT[i] = -i;
        carte_.PartieImaginaireFFT[i] = i / 3.0L;
    }
    const TDravoC::Colonne v1 = carte_.MesuresVoie1, v2 = carte_.MesuresVoie2, m = carte_.ModuleFFT,
                           r = carte_.PartieReelleFFT, im = carte_.PartieImaginaireFFT;
    for (std::uint8_t disposition = 0; disposition <= 6; ++disposition)
        carte_.TexteMesures(1024, disposition);
    EXPECT_EQ(carte_.MesuresVoie1, v1);
    EXPECT_EQ(carte_.MesuresVoie2, v2);
    EXPECT_EQ(carte_.ModuleFFT, m);
    EXPECT_EQ(carte_.PartieReelleFFT, r);
    EXPECT_EQ(carte_.PartieImaginaireFFT, im);
}

} // namespace
