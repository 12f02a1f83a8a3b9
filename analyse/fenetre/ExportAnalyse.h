#pragma once
// What leaves the analysis window on paper or in files: each chart as an
// image (PNG, SVG, PDF), and the lab report printed or saved as a PDF
// (rapport/CompteRenduEssai.h), with the charts as the window shows them.
//
// Keyboard: Alt+E opens the menu of these commands; Ctrl+P prints, Ctrl+S
// saves the report.
#include "rapport/CompteRenduEssai.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class FenetreAnalyse;
class Platform;
class QAction;
class QBoxLayout;
class QMenu;
class QPrinter;
class QPushButton;
class TChart;

// A PNG image's size in pixels and its resolution; by default 16 x 10 cm at
// 300 pixels per inch.
struct TaillePng {
    int largeur = 1890, hauteur = 1181, ppp = 300;
};

class ExportAnalyse : public QObject {
    Q_OBJECT
public:
    // Adds its button, menu and shortcuts to the window, the button at the
    // end of `colonne`.
    ExportAnalyse(FenetreAnalyse& fenetre, Platform& plateForme, QBoxLayout* colonne);

    QPushButton* Bouton = nullptr;
    QMenu* Menu = nullptr;
    QAction* ExporterAvancement = nullptr;
    QAction* ExporterSecond = nullptr;
    QAction* Imprimer = nullptr;
    QAction* EnregistrerPdf = nullptr;

    // The PNG size asked for (empty: a dialog); nothing cancels.
    std::function<std::optional<TaillePng>(const TaillePng&)> ChoisirTaillePng;
    // The printer chosen on `imprimante` (empty: the system's print dialog);
    // false cancels.
    std::function<bool(QPrinter& imprimante)> ChoisirImprimante;

    // The commands: a file name asked, then written; a failure's message in
    // the window's results.
    void ExporterGraphique(TChart& graphique);
    void ImprimerCompteRendu();
    void EnregistrerCompteRendu();
    // The report's second chart: the one the window's tab shows.
    TChart* SecondGraphique() const;

private:
    void Signaler(const std::string& message);

    FenetreAnalyse& fenetre_;
    Platform& plateForme_;
    std::string dernierGraphique_, dernierCompteRendu_; // names chosen last
};
