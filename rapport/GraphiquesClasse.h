#pragma once
// The class synthesis's charts, in tabs, filled from a synthesis
// (classe/SyntheseClasse.h): k and t½ against the factor typed (when one is
// named), each with its fitted line; ln k against 1/T with the Arrhenius
// line (when three temperatures at least were measured); the runs' curves
// overlaid, each against the time from its own first point: the extent in
// mmol as the analysis window computes it, or the pressure in hPa when one
// run's volume or temperature is unknown. The synthesis window shows them;
// the class report draws them (rapport/RapportClasse.h), the command line's
// without showing them.
#include "classe/SyntheseClasse.h"

#include <QTabWidget>

#include <vector>

class TChart;
class TFastLineSeries;
class TPointSeries;

class GraphiquesClasse : public QTabWidget {
    Q_OBJECT
public:
    explicit GraphiquesClasse(QWidget* parent = nullptr);

    void Remplir(const Classe::Synthese& synthese);

    // The charts that have something to show, in the tabs' order (the
    // report draws these).
    std::vector<TChart*> Remplis() const;

    TChart* GraphiqueK = nullptr;
    TChart* GraphiqueTDemi = nullptr;
    TChart* GraphiqueArrhenius = nullptr;
    TChart* GraphiqueCourbes = nullptr;
    TPointSeries* PointsK = nullptr;
    TFastLineSeries* DroiteK = nullptr;
    TPointSeries* PointsTDemi = nullptr;
    TFastLineSeries* DroiteTDemi = nullptr;
    TPointSeries* PointsArrhenius = nullptr;
    TFastLineSeries* DroiteArrhenius = nullptr;

private:
    std::vector<TFastLineSeries*> courbes_; // reused; the unused inactive and empty
};
