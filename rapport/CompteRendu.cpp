#include "rapport/CompteRendu.h"

#include <algorithm>

namespace CompteRendu {

namespace {

// Characters of UTF-8 text (its bytes that start a character).
int Caracteres(const std::string& texte)
{
    return static_cast<int>(
        std::count_if(texte.begin(), texte.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Lines that `texte` takes, `parLigne` characters a line.
int Lignes(const std::string& texte, int parLigne)
{
    return std::max(1, (Caracteres(texte) + parLigne - 1) / std::max(parLigne, 1));
}

// Blocks placed one under the other, a new page when one does not fit.
class Colonne {
public:
    Colonne(std::vector<Page>& pages, const Gabarit& g) : pages_(pages), g_(g) { pages_.emplace_back(); }
    void Placer(Bloc bloc, double apres = 0)
    {
        if (y_ > 0 && y_ + bloc.hauteur > g_.hauteur - g_.pied) {
            pages_.emplace_back();
            y_ = 0;
        }
        bloc.y = y_;
        if (bloc.largeur == 0)
            bloc.largeur = g_.largeur;
        y_ += bloc.hauteur + apres;
        pages_.back().push_back(std::move(bloc));
    }

private:
    std::vector<Page>& pages_;
    const Gabarit& g_;
    double y_ = 0;
};

} // namespace

int LignesParColonne(const Gabarit& g)
{
    return std::max(1, static_cast<int>((g.hauteur - g.pied - g.intertitre - g.ligneTableau) / g.ligneTableau));
}

std::vector<Page> MiseEnPage(const Contenu& c, const Gabarit& g)
{
    std::vector<Page> pages;
    Colonne colonne(pages, g);
    colonne.Placer({Sorte::Titre, 0, 0, 0, 0, g.titre, {}});
    for (std::size_t i = 0; i < c.essai.size(); ++i)
        colonne.Placer({Sorte::LigneEssai, static_cast<int>(i), 0, 0, 0, g.ligne * Lignes(c.essai[i], g.caracteres), {}},
                       i + 1 == c.essai.size() ? g.ecart : 0);
    // The charts' height that leaves room for the results on the first page.
    double texte = g.titre + g.ecart;
    for (const std::string& ligne : c.essai)
        texte += g.ligne * Lignes(ligne, g.caracteres);
    if (!c.resultats.empty())
        texte += g.intertitre;
    for (const auto& resultat : c.resultats)
        texte += g.ligne * Lignes(resultat.second, g.caracteresResultat);
    double hauteurGraphique = g.graphique;
    if (c.graphiques > 0) {
        const double place = (g.hauteur - g.pied - texte) / c.graphiques - g.ecart;
        hauteurGraphique = std::clamp(place, std::min(g.graphiqueMin, g.graphique), g.graphique);
    }
    for (int i = 0; i < c.graphiques; ++i)
        colonne.Placer({Sorte::Graphique, i, 0, 0, 0, hauteurGraphique, {}}, g.ecart);
    if (!c.resultats.empty()) {
        colonne.Placer({Sorte::Intertitre, 0, 0, 0, 0, g.intertitre, "Résultats"});
        for (std::size_t i = 0; i < c.resultats.size(); ++i)
            colonne.Placer({Sorte::Resultat, static_cast<int>(i), 0, 0, 0,
                            g.ligne * Lignes(c.resultats[i].second, g.caracteresResultat), {}});
    }

    // The table, from a new page.
    const int parColonne = LignesParColonne(g);
    const double largeur = g.largeur / std::max(g.colonnesTableau, 1);
    const int lignes = static_cast<int>(c.tableau.size());
    for (int premiere = 0; premiere < lignes;) {
        Page& page = pages.emplace_back();
        page.push_back({Sorte::Intertitre, 0, 0, 0, g.largeur, g.intertitre, "Tableau des mesures"});
        for (int k = 0; k < g.colonnesTableau && premiere < lignes; ++k) {
            const double x = k * largeur;
            page.push_back({Sorte::EnteteTableau, 0, x, g.intertitre, largeur, g.ligneTableau, {}});
            const int fin = std::min(lignes, premiere + parColonne);
            for (int i = premiere; i < fin; ++i)
                page.push_back({Sorte::LigneTableau, i, x, g.intertitre + (i - premiere + 1) * g.ligneTableau, largeur,
                                g.ligneTableau, {}});
            premiere = fin;
        }
    }
    const std::string total = std::to_string(pages.size());
    for (std::size_t n = 0; n < pages.size(); ++n)
        pages[n].push_back({Sorte::PiedDePage, 0, 0, g.hauteur - g.pied, g.largeur, g.pied,
                            std::to_string(n + 1) + "/" + total});
    return pages;
}

} // namespace CompteRendu
