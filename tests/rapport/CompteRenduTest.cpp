// The report's composition: what goes on which page, with a small page whose
// sizes make the counts easy to follow by hand.
#include "rapport/CompteRendu.h"

#include <gtest/gtest.h>

using namespace CompteRendu;

namespace {

// 100 mm high, a foot of 0: table columns of (100 - 10 - 10) / 10 = 8 rows,
// 2 side by side; charts that never shrink.
const Gabarit kPetit{.largeur = 100, .hauteur = 100, .titre = 10, .ligne = 5, .intertitre = 10, .ecart = 0,
                     .graphique = 30, .graphiqueMin = 30, .pied = 0, .caracteres = 20, .caracteresResultat = 10,
                     .ligneTableau = 10, .colonnesTableau = 2};

Contenu Essai(int lignes, int resultats = 2)
{
    Contenu c{"Compte rendu d'essai", {"Essai : a", "Date"}, 2, {}, {}, {}, "a.txt"};
    c.resultats.assign(resultats, {"k", "1"});
    for (int i = 0; i < lignes; ++i)
        c.tableau.push_back({std::to_string(i), "p", "x"});
    return c;
}

} // namespace

TEST(CompteRendu, FirstPageHoldsTheRunTheChartsAndTheResultsInOrder)
{
    const std::vector<Page> pages = MiseEnPage(Essai(0), kPetit);
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<std::pair<Sorte, double>> attendu = {
        {Sorte::Titre, 0},       {Sorte::LigneEssai, 10}, {Sorte::LigneEssai, 15}, {Sorte::Graphique, 20},
        {Sorte::Graphique, 50},  {Sorte::Intertitre, 80}, {Sorte::Resultat, 90},   {Sorte::Resultat, 95},
        {Sorte::PiedDePage, 100},
    };
    ASSERT_EQ(pages[0].size(), attendu.size());
    for (std::size_t i = 0; i < attendu.size(); ++i) {
        EXPECT_EQ(pages[0][i].sorte, attendu[i].first) << i;
        EXPECT_DOUBLE_EQ(pages[0][i].y, attendu[i].second) << i;
    }
    EXPECT_EQ(pages[0][5].texte, "Résultats");
    EXPECT_EQ(pages[0].back().texte, "1/1");
}

TEST(CompteRendu, ABlockThatDoesNotFitStartsTheNextPage)
{
    // A third result (at 100) and a value of 11 characters (two lines) do not fit.
    Contenu c = Essai(0, 3);
    c.resultats[1].second = "12345678901";
    const std::vector<Page> pages = MiseEnPage(c, kPetit);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[1].size(), 3u); // two results and the foot
    EXPECT_EQ(pages[1][0].indice, 1);
    EXPECT_DOUBLE_EQ(pages[1][0].y, 0);
    EXPECT_DOUBLE_EQ(pages[1][0].hauteur, 10);
    EXPECT_DOUBLE_EQ(pages[1][1].y, 10);
    EXPECT_EQ(pages[0].back().texte, "1/2");
    EXPECT_EQ(pages[1].back().texte, "2/2");
}

TEST(CompteRendu, ChartsShrinkDownToTheirLeastToKeepTheResultsOnTheFirstPage)
{
    // Text: title 10, run 10, heading 10, results 5 + 10 + 5 = 50 mm of 100
    // less the foot; the charts share the rest, within [graphiqueMin, 30].
    Contenu c = Essai(0, 3);
    c.resultats[1].second = "12345678901";
    struct Cas {
        double minimum, pied, hauteurGraphique;
        std::size_t pages;
    };
    for (const Cas& cas : {Cas{20, 0, 25, 1}, Cas{20, 6, 22, 1}, Cas{24, 6, 24, 2}, Cas{30, 0, 30, 2}}) {
        Gabarit g = kPetit;
        g.graphiqueMin = cas.minimum;
        g.pied = cas.pied;
        const std::vector<Page> pages = MiseEnPage(c, g);
        ASSERT_EQ(pages.size(), cas.pages) << cas.minimum << " " << cas.pied;
        for (const Bloc& b : pages[0]) {
            if (b.sorte == Sorte::Graphique) {
                EXPECT_DOUBLE_EQ(b.hauteur, cas.hauteurGraphique) << cas.minimum;
            }
            if (b.sorte != Sorte::PiedDePage) {
                EXPECT_LE(b.y + b.hauteur, 100 - cas.pied + 1e-9) << static_cast<int>(b.sorte);
            }
        }
        EXPECT_EQ(pages[0].back().sorte, Sorte::PiedDePage);
        EXPECT_DOUBLE_EQ(pages[0].back().y, 100 - cas.pied);
    }
}

TEST(CompteRendu, TableFollowsOnItsOwnPagesEveryRowOnceColumnsSideBySide)
{
    ASSERT_EQ(LignesParColonne(kPetit), 8);
    // rows -> pages in all, the first one without table; 16 rows a page.
    for (const auto& [lignes, nombrePages] : {std::pair{1, 2u}, {16, 2u}, {17, 3u}, {40, 4u}}) {
        const std::vector<Page> pages = MiseEnPage(Essai(lignes), kPetit);
        ASSERT_EQ(pages.size(), nombrePages) << lignes;
        int suivante = 0;
        for (std::size_t n = 0; n < pages.size(); ++n) {
            EXPECT_EQ(n > 0, pages[n].front().texte == "Tableau des mesures") << n;
            int entetes = 0;
            for (const Bloc& b : pages[n]) {
                entetes += b.sorte == Sorte::EnteteTableau;
                if (b.sorte != Sorte::LigneTableau)
                    continue;
                EXPECT_EQ(b.indice, suivante++);
                EXPECT_DOUBLE_EQ(b.x, b.indice % 16 < 8 ? 0 : 50) << b.indice;
                EXPECT_DOUBLE_EQ(b.y, 20 + b.indice % 8 * 10) << b.indice;
                EXPECT_LE(b.y + b.hauteur, 100);
            }
            EXPECT_EQ(entetes, n ? std::min(2, (lignes - static_cast<int>(n - 1) * 16 + 7) / 8) : 0) << lignes << n;
            EXPECT_EQ(pages[n].back().texte, std::to_string(n + 1) + "/" + std::to_string(nombrePages)) << lignes;
        }
        EXPECT_EQ(suivante, lignes);
    }
}
