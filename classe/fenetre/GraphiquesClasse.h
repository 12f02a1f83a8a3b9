#pragma once
// The synthesis window's charts, in tabs: k and t½ against the factor, the
// Arrhenius line, the runs' curves overlaid (rapport/GraphiquesSynthese.h
// fills them); a tab whose chart has nothing to show is disabled.
#include "classe/SyntheseClasse.h"
#include "rapport/GraphiquesSynthese.h"

#include <QTabWidget>

class TChart;

class GraphiquesClasse : public QTabWidget {
    Q_OBJECT
public:
    explicit GraphiquesClasse(QWidget* parent = nullptr);

    void Remplir(const Classe::Synthese& synthese, char separateur);

    TChart* GraphiqueK = nullptr;
    TChart* GraphiqueTDemi = nullptr;
    TChart* GraphiqueArrhenius = nullptr;
    TChart* GraphiqueCourbes = nullptr;
    // Their series.
    const GraphiquesSynthese& Series() const { return series_; }

private:
    GraphiquesSynthese series_; // after the charts, which it sets up
};
