#include "classe/fenetre/GraphiquesClasse.h"

#include "chart/TChart.h"
#include "chart/TFastLineSeries.h"

namespace {

TChart* Graphique(QWidget* parent)
{
    auto* graphique = new TChart(parent);
    graphique->setFocusPolicy(Qt::NoFocus); // every command has its own key
    return graphique;
}

} // namespace

GraphiquesClasse::GraphiquesClasse(QWidget* parent)
    : QTabWidget(parent), GraphiqueK(Graphique(this)), GraphiqueTDemi(Graphique(this)),
      GraphiqueArrhenius(Graphique(this)), GraphiqueCourbes(Graphique(this)),
      series_(*GraphiqueK, *GraphiqueTDemi, *GraphiqueArrhenius, *GraphiqueCourbes)
{
    addTab(GraphiqueK, QStringLiteral("&k selon le facteur"));
    addTab(GraphiqueTDemi, QStringLiteral("t½ &selon le facteur"));
    addTab(GraphiqueArrhenius, QStringLiteral("&Arrhenius"));
    addTab(GraphiqueCourbes, QStringLiteral("C&ourbes superposées"));
}

void GraphiquesClasse::Remplir(const Classe::Synthese& synthese, char separateur)
{
    series_.Remplir(synthese, separateur);
    setTabEnabled(indexOf(GraphiqueK), series_.FacteurNomme());
    setTabEnabled(indexOf(GraphiqueTDemi), series_.FacteurNomme());
    setTabEnabled(indexOf(GraphiqueArrhenius), series_.DroiteArrhenius->Count() > 0);
}
