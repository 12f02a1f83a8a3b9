#pragma once
// The charts the program's windows make: two-dimensional, titled, with a
// clear back wall, animated zoom, and no keyboard focus (every command has its
// own key). The main window's charts have no legend; the analysis window's
// show their titled series in one.
#include "chart/TChart.h"

class QWidget;

TChart* NouveauGraphique(QWidget* parent, const char* titre, const char* titreAbscisses,
                         const char* titreOrdonnees, bool legende);
// The same set-up on a chart of any kind (a window's, or one drawn off-screen
// into a report).
void PreparerGraphique(TCustomChart& graphique, const char* titre, const char* titreAbscisses,
                       const char* titreOrdonnees, bool legende);

// A series added to `graphique`, in `couleur`, titled for the legend.
template <class Serie>
Serie* NouvelleSerie(TCustomChart& graphique, TColor couleur, const char* titre)
{
    Serie* serie = graphique.AddSeries<Serie>();
    serie->SetSeriesColor(couleur);
    serie->SetTitle(titre);
    return serie;
}
