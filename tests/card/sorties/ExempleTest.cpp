// The example measurement shipped with the program: still exactly what the
// program's own measurement and save produce, and a plausible reaction.
#include "ExempleSimule.h"
#include "SortiesCommun.h"

#include "card/sorties/ExempleMesures.h"
#include "numtext/NumberText.h"

#include <sstream>

namespace {

class ExempleMesure : public SortiesTest {};

std::vector<std::string> Lignes(const std::string& texte)
{
    std::vector<std::string> lignes;
    std::istringstream flux(texte);
    for (std::string ligne; std::getline(flux, ligne, '\r');)
        lignes.push_back(ligne);
    return lignes;
}

TEST_F(ExempleMesure, embedded_bytes_are_those_of_the_data_file)
{
    const std::string fichier = LireFichier(NELVAR_EXEMPLE_TXT);
    ASSERT_FALSE(fichier.empty()) << NELVAR_EXEMPLE_TXT;
    EXPECT_EQ(std::string(ExempleMesures::Contenu()), fichier);
}

TEST_F(ExempleMesure, a_fresh_run_on_the_simulated_card_saves_the_same_bytes)
{
    const std::string fichier = racine_ + "/Exemple.txt";

    ExempleSimule::EnregistrerMesure(fichier);

    EXPECT_EQ(LireFichier(fichier), std::string(ExempleMesures::Contenu()))
        << "regenerate with card_exemple_generer card/sorties/data/Exemple.txt card/sorties/ExempleMesures.cpp";
}

TEST_F(ExempleMesure, holds_300_points_of_a_pressure_rising_from_about_1013_hpa)
{
    const std::string contenu(ExempleMesures::Contenu());
    ASSERT_GE(contenu.size(), 3u);
    EXPECT_EQ(contenu.substr(contenu.size() - 3), "\r\r\n");
    const auto lignes = Lignes(contenu.substr(0, contenu.size() - 2));
    ASSERT_EQ(lignes.size(), 1u + ExempleSimule::kPoints);
    EXPECT_EQ(lignes[0], "Date, en s\tTension sur la voie 1, en V");

    SetDecimalSeparator(',');
    std::vector<long double> pressions;
    for (std::size_t i = 1; i < lignes.size(); ++i) {
        const auto tab = lignes[i].find('\t');
        ASSERT_NE(tab, std::string::npos) << lignes[i];
        pressions.push_back(ReadNumber(lignes[i].substr(tab + 1), DecimalSeparator()));
    }
    EXPECT_EQ(lignes[1].substr(0, 2), "0\t");
    EXPECT_EQ(lignes[300].substr(0, 4), "299\t");
    EXPECT_NEAR(static_cast<double>(pressions.front()), 101300, 500);
    EXPECT_GT(static_cast<double>(pressions.back()), 101300 + 20000);
    EXPECT_LT(static_cast<double>(pressions.back()), 101300 + 30000 + 500);
}

} // namespace
