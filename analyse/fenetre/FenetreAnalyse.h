#pragma once
// The window "Analyse de l'essai": a run's extent with the fitted first-order
// model, the marks of x_f, x_f/2 and t½, the interval's draggable markers, a
// tangent on request, a second chart (volumetric rate or first-order test),
// the results with their uncertainties, and the copies. Non-modal and
// resizable; the main window keeps one and feeds it (app/Analyse.cpp).
//
// Keyboard: Alt+V, Alt+T the conditions (an opened file only), Alt+D, Alt+F
// the interval, Alt+G the tangent's time, Alt+I and Alt+O the second chart's
// tabs, Ctrl+C (or Alt+C) copies the results, Alt+M the whole table, Escape
// removes the tangent, Ctrl+Z undoes the last exclusion, else a chart's
// zoom (Annuler), wherever the focus is. A click on the extent chart puts
// the tangent there; a Ctrl+click excludes the nearest point from the fit
// (drawn hollow) or takes it back. Alt+P the
// tab of the runs compared: the list (Space ticks a run), its chart and its
// table. Alt+A the help page. Alt+E, Ctrl+P and Ctrl+S export, print and save the report
// (analyse/fenetre/ExportAnalyse.h).
#include "analyse/AnalyseEssai.h"
#include "widgets/LayoutScale.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class EssaisCompares;
class GraphiquesEssai;
class ExportAnalyse;
class Platform;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TChart;
class TFastLineSeries;
class TPointSeries;

class FenetreAnalyse : public QWidget {
    Q_OBJECT
public:
    // `plateForme` takes the copies; `essais` lists the runs to compare (the
    // main window's, which outlives this window); `parent` is the main window
    // (the window is a top-level one of its own, closed with it).
    FenetreAnalyse(Platform& plateForme, EssaisCompares& essais, QWidget* parent);
    ~FenetreAnalyse() override;

    // Shows a run's points and analyses them; `enCours` while its run goes on
    // ("mesure en cours" in the status line). The interval is kept for the
    // same run.
    void MontrerEssai(DonneesEssai donnees, bool enCours);
    const AnalyseEssai& Analyse() const { return analyse_; }
    bool EnCours() const { return enCours_; }

    // The tangent at the time of the point nearest to t; RetirerTangente
    // takes it off (Escape).
    void PoserTangente(double t);
    void RetirerTangente();
    std::optional<double> TempsTangente() const { return tempsTangente_; }

    // Ctrl+click: the point nearest to t left out of the fit, or taken back.
    // AnnulerExclusion (Ctrl+Z) undoes the last one; false when none is left.
    void BasculerExclusion(double t);
    bool AnnulerExclusion();

    // The list, chart and table of the runs compared, again when the runs
    // changed since they were last drawn.
    void ActualiserComparaison();

    // Ctrl+Z, wherever the focus is in the window (a field with typing to
    // undo keeps it): undoes the last action on the charts, their zoom.
    void Annuler();

    // The copies (Ctrl+C and "Copier le tableau complet").
    void CopierResultats();
    void CopierTableau();
    // Ctrl+C with the comparison's tab open: the table of the ticked runs.
    void CopierComparaison();
    // Shows the help page for the students.
    void MontrerAide();

    TChart* GraphiqueAvancement = nullptr;
    TPointSeries* SerieMesures = nullptr;
    TPointSeries* SerieExclus = nullptr; // hollow, no legend
    TFastLineSeries* SerieModele = nullptr;
    QTabWidget* Onglets = nullptr;
    TChart* GraphiqueVitesse = nullptr;
    TPointSeries* SerieVitesseMesures = nullptr;
    TFastLineSeries* SerieVitesseModele = nullptr;
    TChart* GraphiqueTest = nullptr;
    TPointSeries* SerieTestPoints = nullptr;
    TFastLineSeries* SerieTestDroite = nullptr;

    QListWidget* ListeEssais = nullptr;     // every run, ticked ones compared
    TChart* GraphiqueComparaison = nullptr;  // their extents, one series each
    QTableWidget* TableauComparaison = nullptr; // one row per ticked run

    QLineEdit* ChampVolume = nullptr;
    QLineEdit* ChampTemperature = nullptr;
    QLineEdit* ChampDebut = nullptr;
    QLineEdit* ChampFin = nullptr;
    QLineEdit* ChampTangente = nullptr;
    QLabel* Resultats = nullptr;     // the results, or the refusal's message
    QLabel* TexteTangente = nullptr; // the tangent's slope and rate
    QLabel* Etat = nullptr;          // "mesure en cours"; late readings; nearest point's readout
    QPushButton* BoutonCopier = nullptr;
    QPushButton* BoutonTableau = nullptr;
    QPushButton* BoutonAide = nullptr; // Alt+A: the page "Aide" (analyse/AideAnalyse.h)
    QDialog* Aide = nullptr;            // made when first asked for
    ExportAnalyse* Export = nullptr;

private:
    void CreerControles();
    // Analyses again and redraws everything from the analysis.
    void Actualiser();
    void TracerAvancement();
    void TracerSecondGraphique(); // the shown tab's chart
    void TracerTangente();
    void EcrireResultats();
    void EcrireEtat();
    // The fields typed: conditions and interval; a wrong number shows its
    // message in the results and changes nothing.
    void LireConditions();
    void LireIntervalle();
    void MarqueurDeplace(bool debut, double valeur);
    void Pointeur(double t);
    void CreerComparaison();
    void EssaiCoche(int ligne, bool coche);

    Platform& plateForme_;
    EssaisCompares& essais_;
    std::unique_ptr<GraphiquesEssai> graphiques_; // the charts' filling; the charts are children
    std::optional<unsigned> versionComparee_; // of essais_, when last drawn
    std::vector<TFastLineSeries*> seriesComparees_; // reused; the unused inactive
    LayoutScale echelle_;
    AnalyseEssai analyse_;
    bool enCours_ = false;
    std::optional<double> tempsTangente_;
    int marqueTangente_ = 0;
    QString lecture_; // the readout of the nearest point
};
