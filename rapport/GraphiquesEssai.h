#pragma once
// The charts of a run's analysis, filled from the analysis
// (analyse/AnalyseEssai.h): the extent with the fitted first-order model,
// the points left out drawn hollow, the marks of x_f, x_f/2, t½ and τ and
// the tangent at the start; the volumetric rate, from the data and from the
// model; the first-order test's linearised points and line. Without V and T
// the first chart shows the pressures, with the same model and marks. The
// analysis window shows them; the command line's report draws them without
// showing them (rapport/CompteRenduEssai.h).
#include <memory>
#include <vector>

class AnalyseEssai;
class QWidget;
class TChart;
class TFastLineSeries;
class TPointSeries;

class GraphiquesEssai {
public:
    // The charts made as children of `parent`, which the window then lays
    // out; without a parent, owned here.
    explicit GraphiquesEssai(QWidget* parent = nullptr);
    ~GraphiquesEssai();
    GraphiquesEssai(const GraphiquesEssai&) = delete;
    GraphiquesEssai& operator=(const GraphiquesEssai&) = delete;

    // The extent's chart (its marks cleared first). The marks' and titles'
    // numbers are written with `separateur` (the window's, or the report's
    // ',').
    void TracerAvancement(const AnalyseEssai& analyse, char separateur);
    // The second charts emptied, and the one asked for filled: the rate's
    // derivative and the linear test cost more than the fit, and a window
    // fills only the tab it shows.
    enum class Second { Aucun, Vitesse, Test };
    void TracerSecond(const AnalyseEssai& analyse, Second second, char separateur);
    // The tangent at time t on the extent's chart, through the model's
    // extent x (mol) with its slope (mol/s): the mark's number, for its
    // removal.
    int AjouterTangente(double t, double x, double pente);

    TChart* Avancement = nullptr;
    TPointSeries* Mesures = nullptr;
    TPointSeries* Exclus = nullptr; // hollow, no legend
    TFastLineSeries* Modele = nullptr;
    TChart* Vitesse = nullptr;
    TPointSeries* VitesseMesures = nullptr;
    TFastLineSeries* VitesseModele = nullptr;
    TChart* Test = nullptr;
    TPointSeries* TestPoints = nullptr;
    TFastLineSeries* TestDroite = nullptr;

private:
    void TracerVitesse(const AnalyseEssai& analyse);
    void TracerTest(const AnalyseEssai& analyse, char separateur);

    std::vector<std::unique_ptr<TChart>> possedes_; // without a parent
};
