#pragma once
// The main window `Form1` (class TForm1): the run's controls on the bottom
// panel, the two charts side by side with a splitter between them, the menu
// bar, the one-second timer and the card component `P`.
//
// Every handler runs inside the handler guard: what it raises is shown in the
// error box and the program goes on in the state the handler reached.
// Handlers are defined by concern:
//   UPrincipal.cpp   construction, layout, Quitter1Click, the help commands
//   Mesure.cpp       Button1Click, Timer1Timer (the measurement run)
//   Exports.cpp      the three copy and the two save commands
//   Liens.cpp        the two author links
#include "essai/CalculMesure.h"
#include "essai/Ticks.h"
#include "analyse/EssaisCompares.h"
#include "card/UDravoC.h"
#include "essai/Essai.h"
#include "journal/CopieClasse.h"
#include "acquisition/ReactionSimulee.h"
#include "journal/JournalEssai.h"
#include "runtime/qt/HandlerGuard.h"
#include "widgets/LayoutScale.h"

#include <QMainWindow>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Acquisition;
class Clock;
struct TensionsLues;
class MessageBoxes;
class Platform;
class LecteurTensions;
class PortIo;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTimer;
class FenetreAnalyse;
class FenetreClasse;
class TChart;
class TFastLineSeries;
struct DonneesEssai;
class TSplitter;

// The run state, at the level of the main window's unit (one set for the
// program).
namespace UPrincipal {
extern bool EnMarche;                 // a run is active
extern bool PEtMoinsP;                // channels 1 and 2 carry p and -p
extern double Coefficient;            // Pa per V
extern double Volume;                 // m³
extern double Temperature;            // K
inline constexpr double Periode = Ticks::kPeriode; // s between two ticks

inline constexpr int kPointsMax = 1024; // a run ends with its 1024th point

// Puts the run state back to its value at program start (for tests).
void ReinitialiserEtatUnite();

// The time of row `ligne` of the result table on the tick count, as the
// saved file dates it (s): ligne × (1 / frequency), the frequency being the
// export's 1 / Periode.
double DateDeLigne(int ligne);

} // namespace UPrincipal

// A radio group: a group box with its items, one of them selected.
class TRadioGroup;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `ports` reaches the card; `boites` shows the message boxes; `plateForme`
    // gives the card component the clipboard, the save dialog and the open
    // service (null: the Qt services, with this window as the dialog's parent).
    TForm1(LecteurTensions& source, MessageBoxes& boites, Platform* plateForme = nullptr, QWidget* parent = nullptr);
    // The card on `ports`, read through them.
    TForm1(PortIo& ports, MessageBoxes& boites, Platform* plateForme = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows the About box (modally); set by the program once the box exists.
    std::function<void()> MontrerAPropos;

    // Chooses the saved run that "Ouvrir un essai enregistré..." opens
    // (nothing: cancelled). Empty: the file dialog.
    std::function<std::optional<std::string>()> ChoisirEssai;

    // The run journal's folder (journal/JournalEssai.h); empty: no journal.
    std::string DossierJournal;
    // The file where the settings are kept between sessions (an INI file:
    // the program gives the user's, "nelvar/nelvar.ini"); empty: they are
    // kept for the window's life only.
    QString FichierReglages;
    // Chooses the class folder that « Dossier de la classe… » sets (nothing:
    // cancelled). Empty: the folder dialog.
    std::function<std::optional<std::string>()> ChoisirDossierClasse;
    // The folder each run's journal is also copied to (journal/CopieClasse.h),
    // from NELVAR_CLASSE when set, else the setting; read at each start.
    Journal::DossierDeLaClasse DossierClasse() const;
    // The clock that dates the readings; none: the monotonic clock.
    Clock* HorlogeLectures = nullptr;
    // The journal files of this session's runs, in their order.
    const std::vector<std::string>& JournauxDeLaSession() const { return journauxSession_; }

    // The readings and each run's journal, taken and written on threads of
    // their own (workers/Acquisition.h): the window never waits on the
    // source nor on the disk, and only applies the results.
    Acquisition& Lectures() { return *lectures_; }

    // Shows the window maximised. Without a window manager to honour the
    // request the window still covers the screen's available area.
    void MontrerMaximisee();

    // Members, in declaration order.
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    TSplitter* Splitter1 = nullptr;
    QFrame* Panel3 = nullptr;
    QPushButton* Button1 = nullptr;
    TChart* Chart1 = nullptr;
    TFastLineSeries* Series1 = nullptr;
    TChart* Chart2 = nullptr;
    TFastLineSeries* Series2 = nullptr;
    QTimer* Timer1 = nullptr;
    std::unique_ptr<TDravoC> P;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label2 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* Fichier1 = nullptr;
    QMenu* Edition1 = nullptr;
    QMenu* Aide1 = nullptr;
    QAction* Enregistrer1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Quitter1 = nullptr;
    QAction* Copier1 = nullptr;
    QAction* Copieravancement1 = nullptr;
    QAction* Rubriquedaide1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Accderausitedelauteur1 = nullptr;
    QAction* Ecrirelauteur1 = nullptr;
    QAction* CopiertensionenV1 = nullptr;
    QAction* EnregistrerSous1 = nullptr;
    QAction* N3 = nullptr;
    QAction* Apropos1 = nullptr;
    QMenu* Analyse1 = nullptr;
    QAction* Analyserlessai1 = nullptr;
    QAction* Ouvrirunessai1 = nullptr;
    // The class synthesis (app/Classe.cpp).
    QAction* Synthesedelaclasse1 = nullptr;
    // The class folder (app/DossierClasse.cpp): « Dossier de la classe… »,
    // the folder in use (a line that cannot be chosen), and the setting cleared.
    QAction* Dossierdelaclasse1 = nullptr;
    QAction* DossierClasseActuel1 = nullptr;
    QAction* Aucundossierdelaclasse1 = nullptr;
    // « Réaction simulée… » (app/BancVirtuel.cpp): null until the simulated
    // card's bench is plugged in (BrancherBanc).
    QAction* Reactionsimulee1 = nullptr;
    // The analysis window, once opened (one for the program).
    FenetreAnalyse* FenetreAnalyse1 = nullptr;
    // The class synthesis window, once opened (one for the program; opened
    // again on another folder when the class folder changed).
    FenetreClasse* FenetreClasse1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;

    // Handlers, in declaration order. Each takes the sender.
    void Button1Click(QObject* Sender);
    void Timer1Timer(QObject* Sender);
    void Accderausitedelauteur1Click(QObject* Sender);
    void Ecrirelauteur1Click(QObject* Sender);
    void Copier1Click(QObject* Sender);
    void Copieravancement1Click(QObject* Sender);
    void CopiertensionenV1Click(QObject* Sender);
    void Quitter1Click(QObject* Sender);
    void Enregistrer1Click(QObject* Sender);
    void EnregistrerSous1Click(QObject* Sender);
    void Rubriquedaide1Click(QObject* Sender);
    void Apropos1Click(QObject* Sender);
    void Analyserlessai1Click(QObject* Sender);
    void Ouvrirunessai1Click(QObject* Sender);
    void Synthesedelaclasse1Click(QObject* Sender);
    void Dossierdelaclasse1Click(QObject* Sender);
    void Aucundossierdelaclasse1Click(QObject* Sender);
    void Reactionsimulee1Click(QObject* Sender);

    // The virtual bench's settings, which the simulated card's reaction
    // follows (app/BancVirtuel.cpp): given by the program when the source
    // is the simulated card, then read from FichierReglages, said in the
    // caption and in each run's journal, changed by « Réaction simulée… ».
    void BrancherBanc(std::shared_ptr<Banc::Reglages> banc);
    void ReglerBanc(const Banc::Reaction& reaction);
    // The settings as the journal's line says them; empty without a bench.
    std::string TexteBanc() const;

    // The current or last run (null before the first): its conditions and
    // its readings, which the result table, the charts, the journal, the
    // session's runs and the analysis window follow.
    const Essai* EssaiCourant() const { return essai_.get(); }
    Essai* EssaiCourant() { return essai_.get(); }
    // The run's state under its historic names, read from the current or
    // last run: its points (0 before the first run), and the amount of gas
    // at its first point (mol; none before it, or when its arithmetic
    // failed).
    std::int32_t NombreDePoints() const { return essai_ ? essai_->Nombre() : 0; }
    std::optional<double> QuantiteInitiale() const
    {
        return essai_ ? essai_->QuantiteInitiale() : std::nullopt;
    }
    // The current or last run as the analysis window takes it: its
    // pressures and extents, each dated by its reading's real time with its
    // tick time (DateDeLigne) in tempsTicks, the run's volume and
    // temperature, named "Essai N" (N-th run started).
    DonneesEssai DonneesDeLaMesure() const;
    // "Essai N", the N-th run started.
    std::string NomEssai() const;
    // The runs of the session (kept after each start, stop and tick) and the
    // files opened, as the analysis window lists them.
    EssaisCompares& Essais() { return essais_; }
    // After a start, a stop or a tick: the session's runs keep the run, and
    // the analysis window, when it shows it, follows it from an event queued
    // after the handler (ActualiserAnalyse).
    void SuivreMesure();
    // The analysis window shown again on the current run (or its comparison
    // redrawn while it shows a file).
    void ActualiserAnalyse();

    // The client area (the central widget) and its layout scale.
    QWidget* ZoneClient() const { return zoneClient_; }
    const LayoutScale& Echelle() const { return echelle_; }
    // The width of `Panel2` last set by the splitter (0 when collapsed). The
    // docking applies it within the splitter's bounds for the client area's
    // width of the moment, so that `Panel3` keeps its 30 pixels whatever the
    // window's size; a wider window gives the panel back its width.
    int LargeurPanel2() const { return largeurPanel2_; }
    void SetLargeurPanel2(int largeur);

    HandlerGuard& Garde() { return garde_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Gestionnaire = void (TForm1::*)(QObject*);
    // Runs a handler inside the guard.
    void Executer(Gestionnaire gestionnaire, QObject* sender,
                  HandlerGuard::Source source = HandlerGuard::Source::Command);

    using FabriqueComposant = std::function<std::unique_ptr<TDravoC>(Platform* plateForme)>;
    TForm1(const FabriqueComposant& composant, MessageBoxes& boites, Platform* plateForme, QWidget* parent);
    void CreerControles(const FabriqueComposant& composant, Platform* plateForme);
    void CreerMenus();
    void Connecter();
    void Disposer(); // docks the panels in the client area
    void Placer(QWidget* controle, int gauche, int haut, int largeur, int hauteur);
    void ActiverChamps(bool actifs); // the fields a run reads at its start
    // A new run on the unit's run state, with the journal (`avecJournal`),
    // the result table and the charts observing it, in that order.
    void CommencerEssai(bool avecJournal);
    // A reading's result, as the acquisition sends it: dropped when asked
    // in another run, else taken in the handler guard.
    void RecevoirLecture(const TensionsLues& lues);
    // The rest of a tick, on the window's thread, once its reading is taken:
    // the card component's status, the fields, the run's new reading (journal,
    // table, charts) and its count. A failed reading stops the run and raises
    // its error.
    void PrendreLecture(const TensionsLues& lues);

    // Shows the analysis window (created at its first use) on `donnees`.
    void MontrerAnalyse(DonneesEssai donnees, bool enCours);
    // Lists the journal's runs (DossierJournal) not of this session in the
    // runs compared, each loaded when it is ticked.
    void ListerJournal();

    // The class folder's setting, and the menu's line showing the folder in use.
    std::string ReglageDossierClasse() const;
    void RegleDossierClasse(const std::string& chemin);
    void MontrerDossierClasse();
    void MontrerBanc(); // the caption, with the bench's settings

    // The export commands' common steps.
    bool RefuserPendantMesure();
    void Exporter(const char* note, void (TDravoC::*operation)(std::uint16_t, std::uint8_t), std::uint8_t disposition);

    MessageBoxes& boites_;
    HandlerGuard garde_;
    std::unique_ptr<Platform> plateFormeQt_; // when none was given
    LayoutScale echelle_;
    QWidget* zoneClient_ = nullptr;
    int largeurPanel2_ = 0;
    bool maximiserSansGestionnaire_ = false;
    // Counts the presses of Button1 (starts and stops), so that a tick queued
    // in one run is not taken in another.
    std::uint64_t numeroMarche_ = 0;
    int numeroEssai_ = 0;          // runs started
    std::chrono::system_clock::time_point debutEssai_; // the last start
    EssaisCompares essais_;
    bool actualisationPrevue_ = false; // the analysis window's refresh is queued
    Platform* plateForme_ = nullptr; // the desktop services in use
    std::shared_ptr<Essai> essai_; // the current or last run; the runs compared share it
    std::chrono::nanoseconds premiereLecture_{0};
    std::unique_ptr<Acquisition> lectures_;     // last: ended first
    std::vector<std::string> journauxSession_;
    std::string dossierClasse_; // the setting, without FichierReglages
    std::shared_ptr<Banc::Reglages> banc_; // the virtual bench; null: another source
};
