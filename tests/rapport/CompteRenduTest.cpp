// The report's composition: what goes on which page, with a small page whose
// sizes make the counts easy to follow by hand.
#include "rapport/CompteRendu.h"

#include <gtest/gtest.h>

using namespace CompteRendu;

namespace {

// 100 mm high: table columns of (100 - 10 - 10) / 10 = 8 rows, 2 side by side.
Gabarit Petit()
{
    Gabarit g;
    g.largeur = 100;
    g.hauteur = 100;
    g.titre = 10;
    g.ligne = 5;
    g.intertitre = 10;
    g.ecart = 0;
    g.graphique = 30;
    g.ligneTableau = 10;
    g.colonnesTableau = 2;
    g.caracteres = 20;
    g.caracteresResultat = 10;
    return g;
}

Contenu Essai(int lignes, int resultats = 2)
{
    Contenu c;
    c.titre = "Compte rendu d'essai";
    c.essai = {"Essai : a", "Date"};
    c.graphiques = 2;
    for (int i = 0; i < resultats; ++i)
        c.resultats.emplace_back("k", "1");
    for (int i = 0; i < lignes; ++i)
        c.tableau.push_back({std::to_string(i), "p", "x"});
    return c;
}

} // namespace

TEST(CompteRendu, FirstPageHoldsTheRunTheChartsAndTheResultsInOrder)
{
    const std::vector<Page> pages = MiseEnPage(Essai(0), Petit());
    ASSERT_EQ(pages.size(), 1u);
    // Title 10, two lines of 5, charts of 30 at 20 and 50, heading at 80, the
    // results at 90 and 95.
    const std::vector<std::pair<Sorte, double>> attendu = {
        {Sorte::Titre, 0},       {Sorte::LigneEssai, 10}, {Sorte::LigneEssai, 15}, {Sorte::Graphique, 20},
        {Sorte::Graphique, 50},  {Sorte::Intertitre, 80}, {Sorte::Resultat, 90},   {Sorte::Resultat, 95},
    };
    ASSERT_EQ(pages[0].size(), attendu.size());
    for (std::size_t i = 0; i < attendu.size(); ++i) {
        EXPECT_EQ(pages[0][i].sorte, attendu[i].first) << i;
        EXPECT_DOUBLE_EQ(pages[0][i].y, attendu[i].second) << i;
    }
    EXPECT_EQ(pages[0][5].texte, "Résultats");
}

TEST(CompteRendu, ABlockThatDoesNotFitStartsTheNextPage)
{
    // A third result (at 100) and a value of 11 characters (two lines) do not fit.
    Contenu c = Essai(0, 3);
    c.resultats[1].second = "12345678901";
    const std::vector<Page> pages = MiseEnPage(c, Petit());
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[1].size(), 2u);
    EXPECT_EQ(pages[1][0].indice, 1);
    EXPECT_DOUBLE_EQ(pages[1][0].y, 0);
    EXPECT_DOUBLE_EQ(pages[1][0].hauteur, 10);
    EXPECT_DOUBLE_EQ(pages[1][1].y, 10);
}

TEST(CompteRendu, TableFollowsOnItsOwnPagesEveryRowOnceColumnsSideBySide)
{
    ASSERT_EQ(LignesParColonne(Petit()), 8);
    // rows -> pages in all (the first one without table).
    const std::pair<int, std::size_t> cas[] = {{1, 2}, {16, 2}, {17, 3}, {40, 4}};
    for (const auto& [lignes, nombrePages] : cas) {
        const std::vector<Page> pages = MiseEnPage(Essai(lignes), Petit());
        ASSERT_EQ(pages.size(), nombrePages) << lignes;
        for (const Bloc& b : pages[0])
            EXPECT_NE(b.sorte, Sorte::LigneTableau);
        int suivante = 0;
        for (std::size_t n = 1; n < pages.size(); ++n) {
            EXPECT_EQ(pages[n].front().texte, "Tableau des mesures");
            for (const Bloc& b : pages[n]) {
                if (b.sorte != Sorte::LigneTableau)
                    continue;
                EXPECT_EQ(b.indice, suivante++);
                const int rang = b.indice % 16; // 16 rows a page
                EXPECT_DOUBLE_EQ(b.x, rang < 8 ? 0 : 50) << b.indice;
                EXPECT_DOUBLE_EQ(b.y, 20 + (rang % 8) * 10) << b.indice;
                EXPECT_LE(b.y + b.hauteur, 100);
            }
            const auto entetes = std::count_if(pages[n].begin(), pages[n].end(),
                                               [](const Bloc& b) { return b.sorte == Sorte::EnteteTableau; });
            EXPECT_EQ(entetes, std::min(2, (lignes - static_cast<int>(n - 1) * 16 + 7) / 8)) << lignes << " " << n;
        }
        EXPECT_EQ(suivante, lignes);
    }
}
