#include "widgets/Graphiques.h"

#include "chart/TChart.h"

void PreparerGraphique(TCustomChart& graphique, const char* titre, const char* titreAbscisses,
                       const char* titreOrdonnees, bool legende)
{
    graphique.Title().SetText({titre});
    graphique.BottomAxis().Title().SetCaption(titreAbscisses);
    graphique.LeftAxis().Title().SetCaption(titreOrdonnees);
    graphique.BackWall().Brush().SetStyle(bsClear);
    graphique.Legend().SetVisible(legende);
    graphique.SetView3D(false);
    graphique.SetAnimatedZoom(true);
}

TChart* NouveauGraphique(QWidget* parent, const char* titre, const char* titreAbscisses,
                         const char* titreOrdonnees, bool legende)
{
    auto* graphique = new TChart(parent);
    PreparerGraphique(*graphique, titre, titreAbscisses, titreOrdonnees, legende);
    graphique->setFocusPolicy(Qt::NoFocus);
    return graphique;
}
