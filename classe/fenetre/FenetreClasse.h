#pragma once
// The window "Synthèse de la classe": every run of the class folder, as
// `nelvar --classe` writes it (the same columns, the same numbers: the table's
// model, classe/fenetre/ModeleClasse.h), the factor studied named once with
// its unit (two fields) and its value typed per run in the table's editable
// column, saved to the folder's classe.tsv; the conclusions under the table;
// the charts in tabs (classe/fenetre/GraphiquesClasse.h); the copy and the
// class report.
//
// It follows the class live: the folder is read again when it reports a
// change and every kRelecture (network shares often report none), on a
// thread of its own (workers/SyntheseEnFond.h), whose results it only
// applies: the window never reads or writes the disk itself, so a slow share
// never freezes it. The status line says
// how many runs were read, which files were left out and why, and when the
// folder cannot be read.
//
// Keyboard: Ctrl+C (or Alt+C) copies the table and the conclusions, Alt+R
// saves the class report (PDF), Alt+F and Alt+U the factor's name and unit.
#include "workers/SyntheseEnFond.h"
#include "classe/SyntheseClasse.h"
#include "widgets/LayoutScale.h"

#include <QWidget>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

class GraphiquesClasse;
class ModeleClasse;
class Platform;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class QTimer;

class FenetreClasse : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kRelecture{5000};

    // `plateForme` takes the copy and asks the report's file name; `dossier`
    // is the class folder; `acces` the disk as the reading thread reaches it
    // (the tests'; empty: the program's). A top-level window of its own.
    FenetreClasse(Platform& plateForme, std::string dossier, QWidget* parent,
                  SyntheseEnFond::Acces acces = {});
    ~FenetreClasse() override;

    const std::string& Dossier() const;
    // The last reading shown.
    const Classe::Synthese& Synthese() const;
    const Classe::TableClasse& Table() const;

    // Asks for the folder to be read again (the timer's and the change
    // notices' work, done at once).
    void Relire();
    // The table and the conclusions, as the command line writes them, to the
    // clipboard.
    void Copier();
    // The class report: a file name asked, then its PDF written (by the
    // reading thread).
    void EnregistrerRapport();

    QLineEdit* ChampFacteur = nullptr;
    QLineEdit* ChampUnite = nullptr;
    QComboBox* ChoixNature = nullptr;    // what the factor is: a reactant, the temperature, a catalyst, another
    ModeleClasse* Modele = nullptr;
    QTableView* Tableau = nullptr;       // one row per run; the factor's column editable
    QTableWidget* Conclusions = nullptr; // name, then value and standard uncertainty rounded together (or a sentence)
    GraphiquesClasse* Graphiques = nullptr;
    QLabel* Etat = nullptr;              // runs read, files left out, the folder's failure
    QPushButton* BoutonCopier = nullptr;
    QPushButton* BoutonRapport = nullptr;
    QAction* ActionCopier = nullptr;
    QTimer* Minuterie = nullptr;

signals:
    // A reading of the folder was received and shown.
    void Actualisee();
    // The report was written (`erreur` empty) or not.
    void RapportEcrit(const QString& erreur);

private:
    void CreerControles();
    void Recevoir(const SyntheseEnFond::Releve& releve);
    void RapportTermine(const QString& chemin, const QString& erreur);
    void Montrer();
    void RemplirConclusions();
    void EcrireEtat();
    void FacteurNomme();
    void Enregistrer(const Classe::TableClasse& table);
    bool Editant() const;

    Platform& plateForme_;
    LayoutScale echelle_;
    std::optional<SyntheseEnFond::Releve> aMontrer_; // a reading that came during an edit: shown after it
    std::uint64_t generation_ = 0; // of the last table asked to be written
    std::string erreurLecture_;    // the last reading's failure, for the status line
    std::string dernierRapport_;
    std::unique_ptr<SyntheseEnFond> fond_; // last: its deliveries stop first
};
