#include "analyse/fenetre/ExportAnalyse.h"

#include "analyse/fenetre/FenetreAnalyse.h"
#include "rapport/EchellesEntieres.h"
#include "chart/TChart.h"
#include "rapport/DessinCompteRendu.h"
#include "runtime/Exceptions.h"
#include "runtime/Platform.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>


namespace {

constexpr int kPixelsMax = 20000;
constexpr int kPppMax = 2400;
constexpr int kLargeurVecteur = 720, kHauteurVecteur = 450; // 7,5 x 4,7 inches

QString Texte(const std::string& s) { return QString::fromStdString(s); }

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
