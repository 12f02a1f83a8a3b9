// Class folders of known truth, written by the journal's own writer: what the
// synthesis concludes from them, each fit weighted by the runs' uncertainties,
// and the words it uses.
#include "classe/Formulations.h"
#include "classe/SyntheseClasse.h"
#include "kinetics/Constantes.h"
#include "tests/classe/JournauxDeClasse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr double kEa = 50000; // J/mol
constexpr double kA = 5e6;    // s⁻¹

double KArrhenius(double celsius) { return kA * std::exp(-kEa / (8.314462618 * (celsius + 273.15))); }

struct Dossier {
    Dossier()
    {
        char modele[] = "/tmp/nelvar-verdicts-XXXXXX";
        chemin = ::mkdtemp(modele);
    }
    ~Dossier() { fs::remove_all(chemin); }
    // A run at `temperature`, its file named in classe.tsv with `valeur`.
    void Essai(double temperature, double k, int lectures = 300, std::optional<double> valeur = {})
    {
        JournauxDeClasse::Essai e;
        e.debut = JournauxDeClasse::Matin(600 * ++n);
        e.temperature = temperature;
        e.k = k;
        e.lectures = lectures;
        e.graine = static_cast<std::uint64_t>(n);
        const std::string nom = fs::path(JournauxDeClasse::Ecrire(chemin, e)).filename().string();
        if (valeur)
            table += nom + "\t" + std::to_string(*valeur) + "\n";
    }
    std::string chemin, table;
    int n = 0;
};

std::string Phrases(const Classe::Synthese& s)
{
    std::string phrases;
    for (const Classe::Conclusion& c : s.conclusions)
        phrases += Classe::NomConclusion(s, c, ',') + " | " + Classe::PhraseConclusion(c, ',') + "\n";
    return phrases;
}

} // namespace

TEST(VerdictsClasse, folders_of_known_truth_give_the_conclusions_their_runs_can_carry)
{
    // Five runs of 300 s from 15 to 35 °C and one of 12 s at 40 °C: the
    // short run's large u(k) weighs little, Ea stays within its uncertainty.
    {
        Dossier d;
        for (const double t : {15.0, 20.0, 25.0, 30.0, 35.0})
            d.Essai(t, KArrhenius(t));
        d.Essai(40, KArrhenius(40) * 1.5, 12);
        const Classe::Synthese s = Classe::Synthetiser({d.chemin});
        ASSERT_TRUE(s.arrhenius && s.arrhenius->ponderee) << Phrases(s);
        const double ea = -s.arrhenius->pente * Constantes::kConstanteGazExacte, uEa = s.arrhenius->uPente * Constantes::kConstanteGazExacte;
        EXPECT_NEAR(ea, kEa, 3 * uEa) << Phrases(s);
        EXPECT_LT(uEa, 0.02 * kEa);
    }
    // A catalyst: k = 0,004 s⁻¹ + 0,004 s⁻¹ per g, twice at 0, 0,5 and 1 g.
    {
        Dossier d;
        for (const double m : {0.0, 0.5, 1.0, 0.0, 0.5, 1.0})
            d.Essai(20, 0.004 + 0.004 * m, 300, m);
        std::ofstream(d.chemin + "/classe.tsv")
            << "# nature du facteur : catalyseur\nfichier\tmasse de catalyseur (g)\n" + d.table;
        const Classe::Synthese s = Classe::Synthetiser({d.chemin});
        ASSERT_TRUE(s.kSelonFacteur) << Phrases(s);
        EXPECT_EQ(s.facteur.nature, Classe::Nature::Catalyseur);
        EXPECT_NEAR(s.kSelonFacteur->pente, 0.004, 3 * s.kSelonFacteur->uPente);
        EXPECT_NE(Phrases(s).find("| k augmente avec la masse de catalyseur : "), std::string::npos) << Phrases(s);
        EXPECT_EQ(Phrases(s).find("ordre"), std::string::npos) << Phrases(s);
    }
    // The reactant: one k at three concentrations; one 40 °C bath drifting
    // from 39,65 to 40,7 °C is one group of repeated runs.
    {
        Dossier d;
        for (const auto& [t, c] : {std::pair(39.65, 0.05), std::pair(40.1, 0.05), std::pair(40.5, 0.05),
                                   std::pair(40.7, 0.05), std::pair(40.2, 0.10), std::pair(40.3, 0.20)})
            d.Essai(t, 0.005, 300, c);
        std::ofstream(d.chemin + "/classe.tsv")
            << "# nature du facteur : réactif\nfichier\tconcentration initiale (mol/L)\n" + d.table;
        const Classe::Synthese s = Classe::Synthetiser({d.chemin});
        EXPECT_NE(Phrases(s).find("| t½ ne dépend pas de la concentration initiale aux incertitudes près : "
                                  "compatible avec l'ordre 1."),
                  std::string::npos)
            << Phrases(s);
        ASSERT_EQ(s.repetitions.size(), 1u) << Phrases(s);
        EXPECT_EQ(s.repetitions[0].essais.size(), 4u);
        const std::string phrases = Phrases(s);
        const std::string debut = "k moyen à 40 °C et concentration initiale = 0";
        const std::size_t serie = phrases.find(debut);
        ASSERT_NE(serie, std::string::npos) << phrases;
        // Past the decimal separator, whichever the process uses.
        EXPECT_EQ(phrases.substr(serie + debut.size() + 1, 24), "05 mol/L, 4 essais (s-1)") << phrases;
    }
}

TEST(VerdictsClasse, the_scatter_threshold_the_articles_and_the_nature_line_read_as_documented)
{
    // The 95 % points of the χ² law over ν, from printed tables.
    for (const auto& [nu, point] : {std::pair(1, 3.841), std::pair(2, 5.991), std::pair(8, 15.507),
                                    std::pair(20, 31.410)})
        EXPECT_NEAR(Classe::SeuilChi2Reduit(nu) / (point / nu), 1, 0.03) << nu;
    EXPECT_TRUE(std::isinf(Classe::SeuilChi2Reduit(0)));

    for (const auto& [nom, avecDe] :
         {std::pair("concentration initiale", "de la concentration initiale"),
          std::pair("masse de catalyseur", "de la masse de catalyseur"), std::pair("volume d'eau", "du volume d'eau"),
          std::pair("agitation", "de l'agitation"), std::pair("température", "de la température"),
          std::pair("les billes de zinc", "des billes de zinc"), std::pair("le pH", "du pH")})
        EXPECT_EQ(Classe::AvecDe(nom), avecDe);

    const Issue<Classe::TableClasse> lue = Classe::LireTexteTable("# nature du facteur : catalyseur\r\nfichier\tm (g)\n");
    ASSERT_TRUE(lue);
    EXPECT_EQ(lue->facteur.nature, Classe::Nature::Catalyseur);
    EXPECT_EQ(Classe::TexteTable(*lue), "# nature du facteur : catalyseur\nfichier\tm (g)\n");
    const Issue<Classe::TableClasse> fausse = Classe::LireTexteTable("# nature du facteur : enzyme\nfichier\tm (g)\n");
    ASSERT_FALSE(fausse);
    EXPECT_TRUE(fausse.Message().starts_with("classe.tsv, ligne 1 : ")) << fausse.Message();

    // Single linkage: gaps of 0,45 °C chain one bath; 0,65 splits it.
    EXPECT_EQ(Classe::GroupesProches(std::vector{40.55, 39.65, 40.1, 41.2}, 0.5),
              (std::vector<std::vector<std::size_t>>{{1, 2, 0}, {3}}));
}
