#pragma once
// The class synthesis's charts (classe/SyntheseClasse.h) on chart objects the
// caller owns: k and t½ against the factor typed (when one is named), each
// with its fitted line; ln k against 1/T with the Arrhenius line (when three
// temperatures at least were measured); the runs' curves overlaid, each
// against the time from its own first point: the extent in mmol as the
// analysis window computes it, or the pressure in hPa when one run's volume
// or temperature is unknown. The synthesis window fills its own widgets with
// it (classe/fenetre/GraphiquesClasse.h); the class report fills charts that
// are never shown and draws them straight onto its pages
// (rapport/RapportClasse.h).
#include "classe/SyntheseClasse.h"

#include <vector>

class TCustomChart;
class TFastLineSeries;
class TPointSeries;

class GraphiquesSynthese {
public:
    // Sets the four charts up (titles, axes, series); they outlive this.
    GraphiquesSynthese(TCustomChart& k, TCustomChart& tDemi, TCustomChart& arrhenius, TCustomChart& courbes);
    GraphiquesSynthese(const GraphiquesSynthese&) = delete;
    GraphiquesSynthese& operator=(const GraphiquesSynthese&) = delete;

    // The legends' numbers are written with `separateur` (the window's, or
    // the report's ',').
    void Remplir(const Classe::Synthese& synthese, char separateur);

    // The charts that have something to show, in the order k, t½, Arrhenius,
    // curves (the report draws these).
    std::vector<TCustomChart*> Remplis() const;
    // Whether the last synthesis filled in named a factor.
    bool FacteurNomme() const { return facteurNomme_; }

    TCustomChart& GraphiqueK;
    TCustomChart& GraphiqueTDemi;
    TCustomChart& GraphiqueArrhenius;
    TCustomChart& GraphiqueCourbes;
    TPointSeries* PointsK = nullptr;
    TFastLineSeries* DroiteK = nullptr;
    TPointSeries* PointsTDemi = nullptr;
    TFastLineSeries* DroiteTDemi = nullptr;
    TPointSeries* PointsArrhenius = nullptr;
    TFastLineSeries* DroiteArrhenius = nullptr;

private:
    std::vector<TFastLineSeries*> courbes_; // reused; the unused inactive and empty
    bool facteurNomme_ = false;
};
