#include "widgets/Graphiques.h"

#include "chart/TChart.h"

TChart* NouveauGraphique(QWidget* parent, const char* titre, const char* titreAbscisses,
                         const char* titreOrdonnees, bool legende)
{
    auto* graphique = new TChart(parent);
    graphique->Title().SetText({titre});
    graphique->BottomAxis().Title().SetCaption(titreAbscisses);
    graphique->LeftAxis().Title().SetCaption(titreOrdonnees);
    graphique->BackWall().Brush().SetStyle(bsClear);
    graphique->Legend().SetVisible(legende);
    graphique->SetView3D(false);
    graphique->SetAnimatedZoom(true);
    graphique->setFocusPolicy(Qt::NoFocus);
    return graphique;
}
