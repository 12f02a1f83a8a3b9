// The virtual bench through the program's own analysis: journals written by
// nelvar --simuler, read and analysed as --analyse and --classe read them.
//
// The expected values are not the code's: the documented activation energy
// (56 kJ/mol), today's demonstration (t½ = 120·ln 2 = 83,18 s), and k at 15,
// 25 and 35 °C and n(O2) computed once by hand with Python:
//   k(θ) = exp(−56000/8,314462618·(1/(θ+273,15) − 1/293,15))/120
//   n(O2) = [H2O2]0·V/2 with [H2O2]0 = 2·30000·250e-3/(8,314462618·293,15·50)
#include "classe/SyntheseClasse.h"
#include "commande/LigneCommande.h"
#include "journal/LectureEssai.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class BancVirtuel : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-banc-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        dossier_ = modele;
    }
    void TearDown() override { fs::remove_all(dossier_); }

    // nelvar --simuler <dossier>/<nom> <options>: the exit code; the
    // messages in `erreurs_`.
    int Simuler(const std::string& nom, std::vector<std::string> options)
    {
        std::vector<std::string> arguments{"--simuler", Chemin(nom)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::ostringstream sortie, erreurs;
        const int code = Cinetique::EnLigneDeCommande(arguments, ',', sortie, erreurs);
        erreurs_ = erreurs.str();
        EXPECT_EQ(sortie.str(), "");
        return code;
    }
    std::string Chemin(const std::string& nom) const { return dossier_ + "/" + nom; }
    std::string Contenu(const std::string& nom) const
    {
        std::ifstream fichier(Chemin(nom), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(fichier), {});
    }
    Cinetique::Resultat Analyse(const std::string& nom) const
    {
        return Cinetique::AnalyserEnregistrement(Cinetique::LireFichierEnregistrement(Chemin(nom)), {});
    }

    std::string dossier_;
    std::string erreurs_;
};

TEST_F(BancVirtuel, the_model_s_laws_come_out_of_the_analysis_of_its_runs)
{
    // Given three benches at 15, 25 and 35 °C (the temperature typed as the
    // bath's), one with twice the iodide, and one at the defaults,
    struct Banc {
        std::string nom;
        std::vector<std::string> options;
        double k;  // s⁻¹, expected
    };
    const std::vector<Banc> bancs = {
        {"15.txt", {"--temperature", "15", "--graine", "1"}, 0.005593425630368293},
        {"25.txt", {"--temperature", "25", "--graine", "2"}, 0.012250461958303512},
        {"35.txt", {"--temperature", "35", "--graine", "3"}, 0.02549934857663528},
        {"iodure.txt", {"--catalyseur", "0,2", "--graine", "4"}, 2 * 0.008333333333333333},
        {"defaut.txt", {}, 0.008333333333333333},
    };
    const double nO2 = 0.0030770686093708702; // mol
    for (const Banc& banc : bancs) {
        SCOPED_TRACE(banc.nom);
        ASSERT_EQ(Simuler(banc.nom, banc.options), 0) << erreurs_;
        const Cinetique::Resultat r = Analyse(banc.nom);
        // each run's k is the model's (2 %), x_f is the oxygen given off
        // whatever the temperature (2 %),
        EXPECT_NEAR(r.k / banc.k, 1, 0.02);
        ASSERT_TRUE(r.xFinal);
        EXPECT_NEAR(*r.xFinal / nO2, 1, 0.02);
    }
    // doubling the iodide doubles k (5 %), the defaults keep today's t½ (2 %),
    EXPECT_NEAR(Analyse("iodure.txt").k / Analyse("defaut.txt").k, 2, 0.1);
    EXPECT_NEAR(Analyse("defaut.txt").tDemi, 83.18, 83.18 * 0.02);
    // and the class synthesis of the three baths finds Ea within 10 %.
    const Classe::Synthese synthese =
        Classe::Synthetiser({Chemin("15.txt"), Chemin("25.txt"), Chemin("35.txt")});
    ASSERT_EQ(synthese.essais.size(), 3u);
    const auto ea = std::find_if(synthese.conclusions.begin(), synthese.conclusions.end(),
                                 [](const Classe::Conclusion& c) { return c.nom.starts_with("Énergie d'activation"); });
    ASSERT_NE(ea, synthese.conclusions.end());
    ASSERT_TRUE(ea->valeur);
    EXPECT_NEAR(*ea->valeur, 56000, 5600);
}

TEST_F(BancVirtuel, a_seed_gives_the_same_journal_and_a_bad_value_writes_nothing)
{
    ASSERT_EQ(Simuler("a.txt", {"--duree", "30", "--graine", "7", "--temperature=35"}), 0);
    ASSERT_EQ(Simuler("b.txt", {"--duree", "30", "--graine", "7", "--temperature=35"}), 0);
    ASSERT_EQ(Simuler("c.txt", {"--duree", "30", "--graine", "8", "--temperature=35"}), 0);
    EXPECT_EQ(Contenu("a.txt"), Contenu("b.txt"));
    EXPECT_NE(Contenu("a.txt"), Contenu("c.txt"));
    // The journal a real run of the simulated card writes, the bench's line
    // after the source, 31 readings a second apart.
    const std::string a = Contenu("a.txt");
    EXPECT_NE(a.find("\n# source : carte simulée\n# réaction simulée : θ = 35 °C ; [H2O2]0 = 0,123 mol/L ; "
                     "[I-] = 0,10 mol/L ; V solution = 50 mL ; V gaz = 250 mL\n# volume (L) : 0.25\n"
                     "# température (°C) : 35\n"),
              std::string::npos)
        << a;
    EXPECT_EQ(Cinetique::LireFichierEnregistrement(Chemin("a.txt")).points.size(), 31u);

    struct Refus {
        std::vector<std::string> options;
        std::string nom;
        std::string message;
    };
    const std::vector<Refus> refus = {
        {{"--temperature", "95"}, "t.txt",
         "nelvar : La température du bain doit être comprise entre 0 et 90 °C. (voir nelvar --help).\n"},
        {{"--volume-gaz", "abc"}, "v.txt", "nelvar : --volume-gaz : « abc » n'est pas un nombre (voir nelvar --help).\n"},
        {{"--duree", "1024"}, "d.txt",
         "nelvar : --duree : « 1024 » n'est pas un entier de 1 à 1023 (voir nelvar --help).\n"},
        {{"--graine", "-1"}, "g.txt",
         "nelvar : --graine : « -1 » n'est pas un entier de 0 à 18446744073709551615 (voir nelvar --help).\n"},
        {{}, "absent/x.txt", ""},
    };
    for (const Refus& r : refus) {
        SCOPED_TRACE(r.nom);
        EXPECT_EQ(Simuler(r.nom, r.options), 2);
        if (!r.message.empty())
            EXPECT_EQ(erreurs_, r.message);
        else
            EXPECT_TRUE(erreurs_.starts_with(Chemin(r.nom) + " : ")) << erreurs_;
        EXPECT_FALSE(fs::exists(Chemin(r.nom)));
    }
    // A bad value leaves a journal already there as it was.
    ASSERT_EQ(Simuler("a.txt", {"--duree", "10", "--volume-gaz", "20"}), 2);
    EXPECT_EQ(Contenu("a.txt"), Contenu("b.txt"));
}

} // namespace
