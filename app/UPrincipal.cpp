#include "app/UPrincipal.h"

#include "workers/Acquisition.h"

#include "widgets/FiltreClavier.h"
#include "widgets/Graphiques.h"
#include "widgets/Apparence.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TLabel.h"
#include "widgets/SplitterDrag.h"
#include "widgets/TSplitter.h"
#include "app/TitreApplication.h"
#include "chart/TChart.h"
#include "runtime/qt/MainIcon.h"
#include "runtime/qt/MessageBoxes.h"
#include "runtime/qt/QtPlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace UPrincipal {
bool EnMarche = false;
bool PEtMoinsP = false;
double Coefficient = 0;
double Volume = 0;
double Temperature = 0;

void ReinitialiserEtatUnite()
{
    EnMarche = false;
    PEtMoinsP = false;
    Coefficient = 0;
    Volume = 0;
    Temperature = 0;
}
} // namespace UPrincipal

namespace {

// Design geometry, for 96 pixels per inch.
constexpr int kGaucheRestauree = 43;
constexpr int kHautRestauree = 144;
constexpr int kLargeurClient = 707;
constexpr int kHauteurClient = 371;
constexpr int kHauteurPanel1 = 83;
constexpr int kLargeurPanel2 = 265;
constexpr int kLargeurSplitter = 3;
constexpr int kBiseau = 1; // the panels' raised bevel

QFrame* NouveauPanneau(QWidget* parent)
{
    auto* panneau = new QFrame(parent);
    panneau->setFrameShape(QFrame::Panel);
    panneau->setFrameShadow(QFrame::Raised);
    panneau->setLineWidth(kBiseau);
    return panneau;
}

QLineEdit* NouveauChamp(const QString& texte, QWidget* parent)
{
    // Single-line, editable, no length limit. A field reached by Tab or by
    // its label's accelerator selects its whole text (QLineEdit does so).
    auto* champ = new QLineEdit(texte, parent);
    champ->setMaxLength(32767);
    return champ;
}


TFastLineSeries* NouvelleSerie(TChart& graphique)
{
    TFastLineSeries* serie = graphique.AddSeries<TFastLineSeries>();
    serie->SetSeriesColor(clRed); // the line pen too
    serie->Marks.Visible = false;
    serie->Marks.ArrowLength = 8;
    return serie;
}

} // namespace

TForm1::TForm1(LecteurTensions& source, MessageBoxes& boites, Platform* plateForme, QWidget* parent)
    : TForm1([&source](Platform* p) { return std::make_unique<TDravoC>(source, p); }, boites, plateForme, parent)
{
}

TForm1::TForm1(PortIo& ports, MessageBoxes& boites, Platform* plateForme, QWidget* parent)
    : TForm1([&ports](Platform* p) { return std::make_unique<TDravoC>(ports, p); }, boites, plateForme, parent)
{
}

TForm1::TForm1(const FabriqueComposant& composant, MessageBoxes& boites, Platform* plateForme, QWidget* parent)
    : QMainWindow(parent), boites_(boites), garde_(boites)
{
    setWindowTitle(QString::fromStdString(TitreFenetre({})));
    setWindowIcon(MainIcon());
    setFont(PoliceFenetre());

    // The layout is designed for 96 pixels per inch: scale it by the ratio of
    // the font's text height on this display to its height at 96.
    echelle_ = LayoutScale::ForFont(font(), this);
    largeurPanel2_ = echelle_.Scale(kLargeurPanel2);

    zoneClient_ = new QWidget(this);
    setCentralWidget(zoneClient_);
    zoneClient_->installEventFilter(this);

    CreerControles(composant, plateForme);
    CreerMenus();
    Connecter();

    // Restored bounds (not scaled); the client area keeps its design size.
    move(kGaucheRestauree, kHautRestauree);
    resize(kLargeurClient, kHauteurClient + MainMenu1->heightForWidth(kLargeurClient));
    Disposer();

    // At the first activation the focus goes to the first control in tab order.
    Button1->setFocus(Qt::OtherFocusReason);
}

TForm1::~TForm1()
{
    // The reading under way ends, then every line measured reaches the
    // journal, before anything of the window goes.
    lectures_.reset();
}

void TForm1::Placer(QWidget* controle, int gauche, int haut, int largeur, int hauteur)
{
    controle->setGeometry(echelle_.Scale(gauche, haut, largeur, hauteur));
}

void TForm1::CreerControles(const FabriqueComposant& composant, Platform* plateForme)
{
    // In the order of the layout: the splitter; the bottom panel and its
    // controls; the left chart panel; the right chart panel; the timer; the
    // card component.
    Splitter1 = new TSplitter(zoneClient_);
    Splitter1->LargeurPanneau = [this] { return Panel2->width(); };
    Splitter1->AppliquerLargeur = [this](int largeur) { SetLargeurPanel2(largeur); };

    Panel1 = NouveauPanneau(zoneClient_);
    Button1 = new QPushButton(QStringLiteral("M&arche"), Panel1);
    Placer(Button1, 16, 8, 75, 25);
    // Enter (and Space) on the focused button clicks it.
    Button1->setAutoDefault(true);

    Label1 = new TLabel(QStringLiteral("&Volume total de gaz, en L"), true, Panel1);
    Edit1 = NouveauChamp(QStringLiteral("0,25"), Panel1);
    Label1->setBuddy(Edit1);
    Label2 = new TLabel(QStringLiteral("&Température en ° C"), true, Panel1);
    Edit2 = NouveauChamp(QStringLiteral("20"), Panel1);
    Label2->setBuddy(Edit2);
    Label3 = new TLabel(QStringLiteral("Coefficient tension -> pression"), true, Panel1);
    Label3->setTextFormat(Qt::PlainText); // no accelerator letter
    Edit3 = NouveauChamp(QStringLiteral("100000"), Panel1);
    Label3->setBuddy(Edit3);

    // A word-wrapped label keeps its width and takes the height of its
    // wrapped text; a one-line label takes the size of its text.
    auto placerEtiquette = [this](QLabel* etiquette, int gauche, int haut, int largeur) {
        QRect rectangle = echelle_.Scale(gauche, haut, largeur, 0);
        if (etiquette->wordWrap())
            rectangle.setHeight(etiquette->heightForWidth(rectangle.width()));
        else
            rectangle.setSize(etiquette->sizeHint());
        etiquette->setGeometry(rectangle);
    };
    placerEtiquette(Label1, 112, 8, 61);
    Placer(Edit1, 184, 8, 49, 21);
    placerEtiquette(Label2, 256, 8, 63);
    Placer(Edit2, 320, 8, 25, 21);
    placerEtiquette(Label3, 368, 8, 90);
    Placer(Edit3, 464, 8, 57, 21);

    RadioGroup1 = new TRadioGroup(QStringLiteral("p et - p sur voies 1 et 2 ?"),
                                  {QStringLiteral("Oui"), QStringLiteral("Non")}, 2, Panel1);
    RadioGroup1->SetItemIndex(0);
    Placer(RadioGroup1, 536, 0, 153, 41);

    GroupBox1 = new QGroupBox(QStringLiteral("Contrôle des tensions, en volts"), Panel1);
    Placer(GroupBox1, 48, 40, 225, 41);
    Label4 = new TLabel(QStringLiteral("Voie 1 :"), false, GroupBox1);
    placerEtiquette(Label4, 8, 20, 36);
    Edit4 = NouveauChamp(QString(), GroupBox1);
    Placer(Edit4, 48, 12, 60, 21);
    Label5 = new TLabel(QStringLiteral("Voie 2 :"), false, GroupBox1);
    placerEtiquette(Label5, 109, 20, 36);
    Edit5 = NouveauChamp(QString(), GroupBox1);
    Placer(Edit5, 152, 12, 57, 21);

    Panel2 = NouveauPanneau(zoneClient_);
    Chart1 = NouveauGraphique(Panel2, "Evolution de la pression au cours du temps", "Date en s", "Pression en hPa",
                              false);
    Series1 = NouvelleSerie(*Chart1);
    Panel3 = NouveauPanneau(zoneClient_);
    Chart2 = NouveauGraphique(Panel3, "Evolution de l'avancement au cours du temps", "Date en secondes",
                              "Avancement calculé en fonction de la variation de pression, en moles", false);
    Series2 = NouvelleSerie(*Chart2);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);

    if (!plateForme) {
        plateFormeQt_ = std::make_unique<QtPlatform>(this);
        plateForme = plateFormeQt_.get();
    }
    plateForme_ = plateForme;
    P = composant(plateForme);
    // The readings, through a card component of the acquisition's own over
    // the same source: `P` keeps the result table and the outputs, and
    // takes each reading's status from the results.
    lectures_ = std::make_unique<Acquisition>(P->Source());

    // Tab order: the bottom panel's controls, then the voltage fields of the
    // group box; the charts take no focus.
    QWidget::setTabOrder(Button1, Edit1);
    QWidget::setTabOrder(Edit1, Edit2);
    QWidget::setTabOrder(Edit2, Edit3);
    QWidget::setTabOrder(Edit3, RadioGroup1->Item(0));
    QWidget::setTabOrder(RadioGroup1->Item(0), RadioGroup1->Item(1));
    QWidget::setTabOrder(RadioGroup1->Item(1), Edit4);
    QWidget::setTabOrder(Edit4, Edit5);
}

void TForm1::CreerMenus()
{
    MainMenu1 = menuBar();
    auto commande = [this](QMenu* menu, const QString& libelle, QKeySequence raccourci = {}) {
        QAction* action = menu->addAction(libelle);
        if (!raccourci.isEmpty()) {
            action->setShortcut(raccourci);
            addAction(action); // active wherever the focus is in the window
        }
        return action;
    };

    Fichier1 = MainMenu1->addMenu(QStringLiteral("&Fichier"));
    Enregistrer1 = commande(Fichier1, QStringLiteral("&Enregistrer (la pression)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    EnregistrerSous1 = commande(Fichier1, QStringLiteral("En&registrer Sous..."), QKeySequence(Qt::CTRL | Qt::Key_T));
    N1 = Fichier1->addSeparator();
    Quitter1 = commande(Fichier1, QStringLiteral("&Quitter"));

    Edition1 = MainMenu1->addMenu(QStringLiteral("&Edition"));
    Copier1 = commande(Edition1, QStringLiteral("&Copier pression en Pa"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Copieravancement1 =
        commande(Edition1, QStringLiteral("C&opier avancement en mol"), QKeySequence(Qt::CTRL | Qt::Key_D));
    CopiertensionenV1 = commande(Edition1, QStringLiteral("Co&pier tension en V"), QKeySequence(Qt::CTRL | Qt::Key_E));

    Analyse1 = MainMenu1->addMenu(QStringLiteral("A&nalyse"));
    Analyserlessai1 = commande(Analyse1, QStringLiteral("&Analyser l'essai"), QKeySequence(Qt::CTRL | Qt::Key_L));
    Ouvrirunessai1 = commande(Analyse1, QStringLiteral("&Ouvrir un essai enregistré..."));
    Analyse1->addSeparator();
    Synthesedelaclasse1 = commande(Analyse1, QStringLiteral("&Synthèse de la classe…"));
    Dossierdelaclasse1 = commande(Analyse1, QStringLiteral("&Dossier de la classe…"));
    DossierClasseActuel1 = commande(Analyse1, QString());
    DossierClasseActuel1->setEnabled(false);
    Aucundossierdelaclasse1 = commande(Analyse1, QStringLiteral("Aucun dossier de la &classe"));
    connect(Analyse1, &QMenu::aboutToShow, this, &TForm1::MontrerDossierClasse);
    MontrerDossierClasse();

    Aide1 = MainMenu1->addMenu(QStringLiteral("&Aide"));
    Rubriquedaide1 = commande(Aide1, QStringLiteral("&Rubrique d'aide"));
    N2 = Aide1->addSeparator();
    Accderausitedelauteur1 = commande(Aide1, QStringLiteral("A&ccéder au site de l'auteur"));
    Ecrirelauteur1 = commande(Aide1, QStringLiteral("&Ecrire à l'auteur"));
    N3 = Aide1->addSeparator();
    Apropos1 = commande(Aide1, QStringLiteral("&A propos..."));

    // F10 opens the menu bar at its first title, the keyboard then moves along it.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] { MainMenu1->setActiveAction(Fichier1->menuAction()); });

    // Menu shortcuts over the edit fields, and Alt+A to the button rather
    // than to the "&Aide" title.
    qApp->installEventFilter(new FiltreClavier(
        this,
        {Enregistrer1->shortcut(), EnregistrerSous1->shortcut(), Copier1->shortcut(), Copieravancement1->shortcut(),
         CopiertensionenV1->shortcut(), Analyserlessai1->shortcut()},
        QKeySequence(Qt::ALT | Qt::Key_A), Button1));
}

void TForm1::Connecter()
{
    connect(Button1, &QPushButton::clicked, this, [this] {
        Executer(&TForm1::Button1Click, Button1);
        SuivreMesure();
    });
    // A tick runs from an event of its own, once the timer's event has
    // returned: Qt holds a timer back while a slot of its timeout is still
    // running, so the error box of a failed tick (a nested event loop) would
    // otherwise halt the run until it is closed, and the points taken after it
    // would be dated as if no second had passed. A tick that the timer gave
    // before the run was stopped or started again is dropped.
    connect(Timer1, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this, marche = numeroMarche_] {
                if (marche == numeroMarche_) {
                    Executer(&TForm1::Timer1Timer, Timer1, HandlerGuard::Source::Tick);
                    SuivreMesure();
                }
            },
            Qt::QueuedConnection);
    });
    // The readings' results, and what the journal has to say, come back as
    // events of the window's queue.
    connect(lectures_.get(), &Acquisition::Lue, this, &TForm1::RecevoirLecture);
    connect(lectures_.get(), &Acquisition::EchecJournal, this, [this](const QString& message) {
        garde_.Run([this, &message] { boites_.ShowMessage(message.toStdString()); });
    });
    connect(lectures_.get(), &Acquisition::FichierJournal, this,
            [this](const QString& chemin) { journauxSession_.push_back(chemin.toStdString()); });
    const std::pair<QAction*, Gestionnaire> menus[] = {
        {Accderausitedelauteur1, &TForm1::Accderausitedelauteur1Click},
        {Ecrirelauteur1, &TForm1::Ecrirelauteur1Click},
        {Copier1, &TForm1::Copier1Click},
        {Copieravancement1, &TForm1::Copieravancement1Click},
        {CopiertensionenV1, &TForm1::CopiertensionenV1Click},
        {Quitter1, &TForm1::Quitter1Click},
        {Enregistrer1, &TForm1::Enregistrer1Click},
        {EnregistrerSous1, &TForm1::EnregistrerSous1Click},
        {Rubriquedaide1, &TForm1::Rubriquedaide1Click},
        {Apropos1, &TForm1::Apropos1Click},
        {Analyserlessai1, &TForm1::Analyserlessai1Click},
        {Ouvrirunessai1, &TForm1::Ouvrirunessai1Click},
        {Synthesedelaclasse1, &TForm1::Synthesedelaclasse1Click},
        {Dossierdelaclasse1, &TForm1::Dossierdelaclasse1Click},
        {Aucundossierdelaclasse1, &TForm1::Aucundossierdelaclasse1Click},
    };
    for (const auto& [action, gestionnaire] : menus)
        connect(action, &QAction::triggered, this,
                [this, action, gestionnaire = gestionnaire] { Executer(gestionnaire, action); });
}

void TForm1::Executer(Gestionnaire gestionnaire, QObject* sender, HandlerGuard::Source source)
{
    garde_.Run([this, gestionnaire, sender] { (this->*gestionnaire)(sender); }, source);
}

void TForm1::SetLargeurPanel2(int largeur)
{
    largeurPanel2_ = std::max(0, largeur);
    Disposer();
}

void TForm1::Disposer()
{
    // The bottom panel first, then the left panel and the splitter from left
    // to right, then the right panel fills what remains. The left panel's
    // width is bounded as a drag bounds it, for the width of the moment: the
    // right panel keeps its 30 pixels however narrow the window becomes. The
    // charts fill their panels inside the bevel.
    const int largeur = zoneClient_->width();
    const int hauteur = zoneClient_->height();
    const int hauteurPanel1 = std::min(echelle_.Scale(kHauteurPanel1), hauteur);
    Panel1->setGeometry(0, hauteur - hauteurPanel1, largeur, hauteurPanel1);

    const int hauteurHaut = hauteur - hauteurPanel1;
    const int largeurPanel2 = SplitterDrag::LargeurAppliquee(SplitterDrag::Borner(largeurPanel2_, largeur));
    const int largeurSplitter = std::min(echelle_.Scale(kLargeurSplitter), largeur - largeurPanel2);
    Panel2->setGeometry(0, 0, largeurPanel2, hauteurHaut);
    Splitter1->setGeometry(largeurPanel2, 0, largeurSplitter, hauteurHaut);
    const int gauchePanel3 = largeurPanel2 + largeurSplitter;
    Panel3->setGeometry(gauchePanel3, 0, std::max(0, largeur - gauchePanel3), hauteurHaut);

    for (auto [panneau, graphique] : {std::pair<QFrame*, TChart*>{Panel2, Chart1}, {Panel3, Chart2}})
        graphique->setGeometry(kBiseau, kBiseau, std::max(0, panneau->width() - 2 * kBiseau),
                               std::max(0, panneau->height() - 2 * kBiseau));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == zoneClient_ && event->type() == QEvent::Resize) {
        Disposer();
    } else if (maximiserSansGestionnaire_ && watched == windowHandle() && event->type() == QEvent::Expose) {
        // A window manager maximises the window before it is first exposed;
        // without one the window is still at its restored bounds, and the
        // program covers the screen's available area itself.
        maximiserSansGestionnaire_ = false;
        if (isMaximized() && frameGeometry().topLeft() == QPoint(kGaucheRestauree, kHautRestauree) && screen())
            setGeometry(screen()->availableGeometry());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::MontrerMaximisee()
{
    showMaximized();
    if (QWindow* fenetre = windowHandle()) {
        maximiserSansGestionnaire_ = true;
        fenetre->installEventFilter(this);
    }
}

// --- Handlers of the window itself

void TForm1::Quitter1Click(QObject*)
{
    // The loop ends when it takes the request; nothing is asked or saved,
    // and a run in progress stops with the timer.
    QCoreApplication::quit();
}

void TForm1::Rubriquedaide1Click(QObject*)
{
    // There is no help file: the About box's "Mode d'emploi" is the guide.
    if (MontrerAPropos)
        MontrerAPropos();
}

void TForm1::Apropos1Click(QObject*)
{
    if (MontrerAPropos)
        MontrerAPropos();
}
