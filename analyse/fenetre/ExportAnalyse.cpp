#include "analyse/fenetre/ExportAnalyse.h"

#include "analyse/AnalyseEssai.h"
#include "rapport/EchellesEntieres.h"
#include "analyse/EssaisCompares.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "chart/TChart.h"
#include "journal/LectureEssai.h"
#include "commande/LigneCommande.h"
#include "numtext/NumberText.h"
#include "rapport/DessinCompteRendu.h"
#include "runtime/Exceptions.h"
#include "runtime/HeureLocale.h"
#include "runtime/Platform.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <vector>
#include <ostream>

namespace {

constexpr int kChiffresTableau = 6;
constexpr int kDecimalesAvancementMax = 6; // its extents, mmol
constexpr int kPixelsMax = 20000;
constexpr int kPppMax = 2400;
constexpr int kLargeurVecteur = 720, kHauteurVecteur = 450; // 7,5 x 4,7 inches

QString Texte(const std::string& s) { return QString::fromStdString(s); }

// A number of the report, with its decimal comma.
std::string Nombre(double valeur, int chiffres = kChiffresTableau)
{
    return FormatGeneral(valeur, chiffres, CompteRendu::kSeparateurDecimal);
}

std::string Condition(const std::optional<double>& valeur, const std::string& unite, const char* inconnu)
{
    return valeur ? Nombre(*valeur) + " " + unite : std::string(inconnu);
}

// "le 07/12/2026 à 19:08:22", local time.
std::string DateEtHeure(std::chrono::system_clock::time_point moment)
{
    return HeureLocale(moment, "le %d/%m/%Y à %H:%M:%S");
}

// The size of a PNG image, asked in a small dialog.
std::optional<TaillePng> DialogueTaillePng(QWidget* parent, const TaillePng& proposee)
{
    QDialog dialogue(parent);
    dialogue.setWindowTitle(QStringLiteral("Taille de l'image PNG"));
    auto* formulaire = new QFormLayout(&dialogue);
    auto champ = [&dialogue](int valeur, int maximum) {
        auto* c = new QSpinBox(&dialogue);
        c->setRange(1, maximum);
        c->setValue(valeur);
        return c;
    };
    QSpinBox* largeur = champ(proposee.largeur, kPixelsMax);
    QSpinBox* hauteur = champ(proposee.hauteur, kPixelsMax);
    QSpinBox* ppp = champ(proposee.ppp, kPppMax);
    formulaire->addRow(QStringLiteral("&Largeur (pixels)"), largeur);
    formulaire->addRow(QStringLiteral("&Hauteur (pixels)"), hauteur);
    formulaire->addRow(QStringLiteral("&Résolution (points par pouce)"), ppp);
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogue);
    formulaire->addRow(boutons);
    QObject::connect(boutons, &QDialogButtonBox::accepted, &dialogue, &QDialog::accept);
    QObject::connect(boutons, &QDialogButtonBox::rejected, &dialogue, &QDialog::reject);
    if (dialogue.exec() != QDialog::Accepted)
        return std::nullopt;
    return TaillePng{largeur->value(), hauteur->value(), ppp->value()};
}

// No desktop: the report's mode copies nothing and asks nothing.
class SansBureau final : public Platform {
public:
    void PlaceOnClipboard(const std::string&) override {}
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest&) override { return std::nullopt; }
    bool ConfirmReplace(const std::string&) override { return false; }
    bool OpenAddress(const std::string&) override { return false; }
};


} // namespace

ExportAnalyse::ExportAnalyse(FenetreAnalyse& fenetre, Platform& plateForme, QBoxLayout* colonne)
    : QObject(&fenetre), fenetre_(fenetre), plateForme_(plateForme)
{
    Bouton = new QPushButton(QStringLiteral("&Exporter, imprimer..."), &fenetre);
    Menu = new QMenu(Bouton);
    ExporterAvancement = Menu->addAction(QStringLiteral("Exporter le graphique de l'&avancement..."));
    ExporterSecond = Menu->addAction(QStringLiteral("Exporter le graphique de l'&onglet ouvert..."));
    Menu->addSeparator();
    Imprimer = Menu->addAction(QStringLiteral("&Imprimer..."));
    EnregistrerPdf = Menu->addAction(QStringLiteral("Enregistrer le compte &rendu (PDF)..."));
    Imprimer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    EnregistrerPdf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    fenetre.addAction(Imprimer); // the shortcuts work with the menu closed
    fenetre.addAction(EnregistrerPdf);
    Bouton->setMenu(Menu);
    colonne->addWidget(Bouton);

    connect(ExporterAvancement, &QAction::triggered, this, [this] { ExporterGraphique(*fenetre_.GraphiqueAvancement); });
    connect(ExporterSecond, &QAction::triggered, this, [this] { ExporterGraphique(*SecondGraphique()); });
    connect(Imprimer, &QAction::triggered, this, [this] { ImprimerCompteRendu(); });
    connect(EnregistrerPdf, &QAction::triggered, this, [this] { EnregistrerCompteRendu(); });
}

TChart* ExportAnalyse::SecondGraphique() const
{
    // Only the open tab's chart is filled (the others are emptied while they
    // are hidden): the comparison's tab gives its chart, inside its splitter.
    QWidget* onglet = fenetre_.Onglets->currentWidget();
    if (onglet == fenetre_.GraphiqueTest)
        return fenetre_.GraphiqueTest;
    if (onglet && onglet->isAncestorOf(fenetre_.GraphiqueComparaison))
        return fenetre_.GraphiqueComparaison;
    return fenetre_.GraphiqueVitesse;
}

void ExportAnalyse::Signaler(const std::string& message)
{
    fenetre_.Resultats->setText(Texte(message).toHtmlEscaped()); // a rich text label: shown as written
}

void ExportAnalyse::ExporterGraphique(TChart& graphique)
{
    const auto nom = plateForme_.ChooseSaveFileName({"", "png", dernierGraphique_, "Images (*.png *.svg *.pdf)"});
    if (!nom)
        return;
    dernierGraphique_ = *nom;
    const std::string titre = graphique.Title().Text().empty() ? std::string() : graphique.Title().Text().front();
    // The vectors at the size the chart has on screen; a hidden one's is not
    // its own (a window never shown: the command line's).
    const QSize taille = graphique.isVisible() ? graphique.size() : QSize(kLargeurVecteur, kHauteurVecteur);
    try {
        std::string octets;
        switch (CompteRendu::FormatDuNom(*nom)) {
        case CompteRendu::FormatImage::Svg:
            octets = CompteRendu::ImageSvg(graphique, taille.width(), taille.height(), titre);
            break;
        case CompteRendu::FormatImage::Pdf:
            octets = CompteRendu::ImagePdf(graphique, taille.width(), taille.height(), titre);
            break;
        case CompteRendu::FormatImage::Png: {
            const auto png =
                ChoisirTaillePng ? ChoisirTaillePng(TaillePng{}) : DialogueTaillePng(&fenetre_, TaillePng{});
            if (!png)
                return;
            octets = CompteRendu::ImagePng(graphique, png->largeur, png->hauteur, png->ppp);
            break;
        }
        }
        CompteRendu::Ecrire(*nom, octets);
    } catch (const Exception& e) {
        Signaler("Le graphique n'a pas été enregistré : " + e.Message());
    }
}

void ExportAnalyse::ImprimerCompteRendu()
{
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setDocName(QStringLiteral("Compte rendu d'essai"));
    if (ChoisirImprimante) {
        if (!ChoisirImprimante(imprimante))
            return;
    } else {
        QPrintDialog dialogue(&imprimante, &fenetre_);
        if (dialogue.exec() != QDialog::Accepted)
            return;
    }
    const EchellesEntieres entieres({fenetre_.GraphiqueAvancement, SecondGraphique()});
    if (!CompteRendu::Dessiner(imprimante, ContenuCompteRendu(fenetre_.Analyse()),
                               {fenetre_.GraphiqueAvancement, SecondGraphique()}))
        Signaler("L'impression n'a pas pu commencer : l'imprimante refuse le document.");
}

void ExportAnalyse::EnregistrerCompteRendu()
{
    const auto nom = plateForme_.ChooseSaveFileName({"", "pdf", dernierCompteRendu_, "Documents PDF (*.pdf)"});
    if (!nom)
        return;
    dernierCompteRendu_ = *nom;
    const EchellesEntieres entieres({fenetre_.GraphiqueAvancement, SecondGraphique()});
    try {
        CompteRendu::EnregistrerPdf(*nom, ContenuCompteRendu(fenetre_.Analyse()),
                                    {fenetre_.GraphiqueAvancement, SecondGraphique()});
    } catch (const Exception& e) {
        Signaler("Le compte rendu n'a pas été enregistré : " + e.Message());
    }
}

CompteRendu::Contenu ContenuCompteRendu(const AnalyseEssai& analyse)
{
    const char virgule = CompteRendu::kSeparateurDecimal;
    const DonneesEssai& d = analyse.Donnees();
    CompteRendu::Contenu c;
    c.titre = "Compte rendu d'essai";
    c.essai.push_back("Essai : " + Cinetique::EnUtf8(d.nom));
    if (d.debut)
        c.essai.push_back("Date et heure de l'essai : " + DateEtHeure(*d.debut));
    else
        c.essai.push_back(d.fichier ? "Date et heure de l'essai : non enregistrées dans le fichier"
                                    : "Date et heure de l'essai : inconnues");
    // Where it was measured, when the run records it: the bench of the room.
    if (!d.poste.empty())
        c.essai.back() += " ; poste : " + d.poste;
    // The source a journal or the session records; only a file that does not
    // record it leaves it unknown. The simulated card's notice always goes
    // with it: its values come from no experiment.
    if (d.source.empty())
        c.essai.push_back(d.fichier ? "Source des mesures : un fichier enregistré (la carte ou le boîtier qui a mesuré "
                                      "n'y est pas noté)"
                                    : "Source des mesures : inconnue");
    else if (d.source.find("simulée") != std::string::npos)
        c.essai.push_back("Source des mesures : la carte simulée. Ces mesures sont produites par le programme, ce ne "
                          "sont pas celles d'une expérience.");
    else
        c.essai.push_back("Source des mesures : " + d.source);
    c.essai.push_back("Volume du gaz : V = " + Condition(d.volume, "L", "inconnu") +
                      " ; température : T = " + Condition(d.temperature, "°C", "inconnue") +
                      " ; coefficient : " + Condition(d.coefficient, "Pa/V", "non enregistré"));
    c.graphiques = 2;
    // The feet name the run: its file's name, or "Essai N".
    c.pied = Cinetique::EnUtf8(d.fichier ? std::filesystem::path(d.nom).filename().string() : d.nom);
    if (analyse.Valide()) {
        c.resultats = analyse.LignesResultats(virgule);
        if (const auto tangente = analyse.LigneTangente(virgule))
            c.resultats.insert(c.resultats.end() - 1, *tangente); // before the remark
    } else {
        c.resultats.emplace_back("Analyse", analyse.Erreur());
    }
    // Times to the millisecond; extents to the digit that one pascal moves.
    c.entetes = {"t (s)", "p (Pa)", "x (mmol)"};
    int decimalesX = kDecimalesAvancementMax;
    if (const auto parPascal = analyse.MolParPascal(); parPascal && *parPascal > 0)
        decimalesX = std::clamp(static_cast<int>(std::ceil(-std::log10(*parPascal * 1000))), 0,
                                kDecimalesAvancementMax);
    for (int i = 0; i < analyse.Points(); ++i) {
        const Cinetique::Point& p = d.points[static_cast<std::size_t>(i)];
        const auto x = analyse.Avancement(i);
        c.tableau.push_back({Decimales(p.t, kDecimalesTemps, virgule), Nombre(p.p), x ? Decimales(*x * 1000, decimalesX, virgule) : "—"});
    }
    return c;
}

bool ModeRapport(std::span<const std::string> arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--rapport" || argument.starts_with("--rapport="))
            return true;
    }
    return false;
}

int RapportEnLigneDeCommande(std::span<const std::string> arguments, std::ostream& erreurs)
{
    using Cinetique::kCodeEchec;
    const Issue<Cinetique::Demande> lue = Cinetique::LireArguments(arguments);
    std::string refus;
    if (!lue)
        refus = lue.Message();
    else if (!lue->rapport || lue->rapport->empty())
        refus = "l'option --rapport attend le nom du fichier PDF";
    else if (lue->fichiers.size() != 1)
        refus = "le compte rendu se fait pour un seul fichier";
    else if (lue->options.origineFixee)
        refus = "l'option --origine ne s'applique pas au compte rendu";
    if (!refus.empty()) {
        erreurs << "nelvar : " << refus << " (voir nelvar --help).\n";
        return kCodeEchec;
    }
    const Cinetique::Demande& demande = *lue;
    const std::string& chemin = demande.fichiers.front();
    // A saved file or a run's journal, read as the window opens them; the
    // options given win over the conditions a journal records.
    DonneesEssai donnees;
    try {
        donnees = DonneesEssaiEnregistre(chemin, std::nullopt, std::nullopt);
    } catch (const Exception& e) {
        erreurs << Cinetique::EnUtf8(chemin) << " : " << e.Message() << "\n";
        return kCodeEchec;
    }
    if (demande.options.volume)
        donnees.volume = demande.options.volume;
    if (demande.options.temperature)
        donnees.temperature = demande.options.temperature;

    // The window's own analysis and charts, never shown.
    SansBureau bureau;
    EssaisCompares essais;
    FenetreAnalyse fenetre(bureau, essais, nullptr);
    fenetre.MontrerEssai(std::move(donnees), false);
    if (demande.options.debut || demande.options.fin) {
        auto ecrire = [](QLineEdit* champ, const std::optional<double>& v) {
            champ->setText(v ? QString::number(*v, 'g', 17) : QString());
        };
        ecrire(fenetre.ChampDebut, demande.options.debut);
        ecrire(fenetre.ChampFin, demande.options.fin);
        emit fenetre.ChampFin->editingFinished(); // read as when typed
    }
    // --exclure: each date's point, as a Ctrl+click leaves it out.
    for (const double t : demande.options.exclus)
        if (!fenetre.Analyse().Exclu(fenetre.Analyse().PointLePlusProche(t)))
            fenetre.BasculerExclusion(t);
    const AnalyseEssai& analyse = fenetre.Analyse();
    if (!analyse.Valide()) {
        erreurs << Cinetique::EnUtf8(chemin) << " : " << analyse.Erreur() << "\n";
        return kCodeEchec;
    }
    // Without V and T there is no rate: the first-order test instead.
    if (analyse.Vitesses().empty())
        fenetre.Onglets->setCurrentWidget(fenetre.GraphiqueTest);
    try {
        CompteRendu::EnregistrerPdf(*demande.rapport, ContenuCompteRendu(analyse),
                                    {fenetre.GraphiqueAvancement, fenetre.Export->SecondGraphique()});
    } catch (const Exception& e) {
        erreurs << Cinetique::EnUtf8(*demande.rapport) << " : " << e.Message() << "\n";
        return kCodeEchec;
    }
    return 0;
}
