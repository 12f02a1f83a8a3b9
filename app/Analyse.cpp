// The menu "Analyse": the analysis window on the current or last run, or on
// a saved run or a run journal chosen in a file dialog, and the window
// following the run.
#include "analyse/AnalyseEssai.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "app/UPrincipal.h"
#include "essai/Ticks.h"
#include "journal/JournalEssai.h"
#include "journal/LectureEssai.h"
#include "kinetics/Constantes.h"

#include <QFileDialog>
#include <QLineEdit>

using namespace UPrincipal;

namespace {

// A field's number for the analysis; none when it is not one.
std::optional<double> Nombre(const QLineEdit* champ)
{
    try {
        return Cinetique::LireNombreVirguleOuPoint(champ->text().trimmed().toStdString());
    } catch (const Exception&) {
        return std::nullopt;
    }
}

} // namespace

double UPrincipal::DateDeLigne(int ligne)
{
    return Ticks::DateDeLigne(ligne);
}

DonneesEssai TForm1::DonneesDeLaMesure() const
{
    if (essai_ && numeroEssai_ > 0)
        return DonneesDeLEssai(*essai_, NomEssai());
    DonneesEssai donnees;
    if (essai_) {
        // Ticks taken with no run started: their readings, without the
        // conditions no start has read.
        donnees = DonneesDeLEssai(*essai_, {});
        donnees.volume.reset();
        donnees.temperature.reset();
        donnees.coefficient.reset();
        donnees.debut.reset();
        return donnees;
    }
    // The real card's description is empty: its caption is the plain one.
    donnees.source = P->Source().Description();
    if (donnees.source.empty())
        donnees.source = "carte d'acquisition";
    return donnees;
}

std::string TForm1::NomEssai() const
{
    return "Essai " + std::to_string(numeroEssai_);
}

void TForm1::ListerJournal()
{
    if (DossierJournal.empty())
        return;
    const auto& seance = journauxSession_;
    for (Journal::EssaiDuJournal& essai : Journal::Essais(DossierJournal)) {
        // This session's runs are listed as such, from memory.
        if (std::find(seance.begin(), seance.end(), essai.chemin) != seance.end())
            continue;
        const std::string chemin = essai.chemin;
        // Listed already (same file): Ajouter keeps the entry there is.
        essais_.Ajouter({.nom = chemin, .debut = essai.debut, .chemin = chemin, .provenance = Provenance::Archive,
                         .charger = [chemin] { return DonneesEssaiEnregistre(chemin, std::nullopt, std::nullopt); },
                         .poste = essai.poste});
    }
}

void TForm1::MontrerAnalyse(DonneesEssai donnees, bool enCours)
{
    // The journal's runs of earlier sessions, after the session's own; a
    // folder that cannot be read lists none.
    try {
        ListerJournal();
    } catch (const std::exception&) {
    }
    if (!FenetreAnalyse1)
        FenetreAnalyse1 = new FenetreAnalyse(*plateForme_, essais_, this);
    FenetreAnalyse1->MontrerEssai(std::move(donnees), enCours);
    FenetreAnalyse1->show();
    FenetreAnalyse1->raise();
    FenetreAnalyse1->activateWindow();
}

void TForm1::SuivreMesure()
{
    // Listed from its first reading on; the list reads the run itself.
    if (numeroEssai_ > 0 && essai_ && essai_->Nombre() > 0)
        essais_.GarderEssai(essai_, NomEssai());
    // The window analyses the run again once the tick has returned, from an
    // event of its own: the fit and the charts never delay a reading, and
    // ticks that come faster than the window follows are taken together.
    if (!FenetreAnalyse1 || !FenetreAnalyse1->isVisible() || actualisationPrevue_)
        return;
    actualisationPrevue_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            actualisationPrevue_ = false;
            ActualiserAnalyse();
        },
        Qt::QueuedConnection);
}

void TForm1::ActualiserAnalyse()
{
    if (!FenetreAnalyse1 || !FenetreAnalyse1->isVisible())
        return;
    if (!FenetreAnalyse1->Analyse().Donnees().fichier)
        FenetreAnalyse1->MontrerEssai(DonneesDeLaMesure(), EnMarche);
    else
        FenetreAnalyse1->ActualiserComparaison();
}

void TForm1::Analyserlessai1Click(QObject*)
{
    MontrerAnalyse(DonneesDeLaMesure(), EnMarche);
}

void TForm1::Ouvrirunessai1Click(QObject*)
{
    std::optional<std::string> chemin;
    if (ChoisirEssai) {
        chemin = ChoisirEssai();
    } else {
        const QString nom = QFileDialog::getOpenFileName(
            this, QStringLiteral("Ouvrir un essai enregistré"), QString(),
            QStringLiteral("Mesures (*.txt *.csv *.tsv);;Tous les fichiers (*)"));
        if (!nom.isEmpty())
            chemin = nom.toStdString();
    }
    if (!chemin)
        return;
    // A file that cannot be read raises here: its message goes to the error
    // box, and the window keeps what it showed.
    DonneesEssai donnees = DonneesEssaiEnregistre(*chemin, Nombre(Edit1), Nombre(Edit2));
    essais_.Ajouter({.nom = *chemin, .debut = donnees.debut, .chemin = *chemin, .provenance = Provenance::Fichier,
                     .charger = {}},
                    donnees);
    MontrerAnalyse(std::move(donnees), false);
}
