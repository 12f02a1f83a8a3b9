// The menu "Analyse": the analysis window on the current or last run, or on
// a saved run chosen in a file dialog, and the window following the run.
#include "app/AnalyseEssai.h"
#include "app/FenetreAnalyse.h"
#include "app/UPrincipal.h"
#include "kinetics/LectureEssai.h"

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

DonneesEssai TForm1::DonneesDeLaMesure() const
{
    DonneesEssai donnees;
    donnees.nom = "Essai " + std::to_string(numeroEssai_);
    // The saved file's dates: row i at i × (1 / frequency), the frequency
    // being the export's 1 / Periode.
    const double frequence = static_cast<double>(1.0L / Periode);
    const double pas = 1.0 / frequence;
    const int points = std::clamp(NombreDePoints, 0, kPointsMax);
    donnees.points.reserve(static_cast<std::size_t>(points));
    donnees.avancements.reserve(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        const auto ligne = static_cast<std::size_t>(i);
        donnees.points.push_back(
            {static_cast<double>(static_cast<long double>(i) * pas), static_cast<double>(P->MesuresVoie1[ligne])});
        donnees.avancements.push_back(static_cast<double>(P->MesuresVoie2[ligne]));
    }
    if (numeroEssai_ > 0) {
        // The run's conditions, in the units typed (m³ and K at the start).
        donnees.volume = Volume * 1000;
        donnees.temperature = Temperature - ConditionsMesure::kZeroAbsolu;
        donnees.coefficient = Coefficient;
        donnees.debut = debutEssai_;
    }
    // The real card's description is empty: its caption is the plain one.
    donnees.source = P->Source().Description();
    if (donnees.source.empty())
        donnees.source = "carte d'acquisition";
    return donnees;
}

void TForm1::MontrerAnalyse(DonneesEssai donnees, bool enCours)
{
    if (!FenetreAnalyse1)
        FenetreAnalyse1 = new FenetreAnalyse(*plateForme_, essais_, this);
    FenetreAnalyse1->MontrerEssai(std::move(donnees), enCours);
    FenetreAnalyse1->show();
    FenetreAnalyse1->raise();
    FenetreAnalyse1->activateWindow();
}

void TForm1::SuivreMesure()
{
    DonneesEssai donnees = DonneesDeLaMesure();
    if (numeroEssai_ > 0 && NombreDePoints > 0)
        essais_.GarderEssai(donnees);
    if (!FenetreAnalyse1 || !FenetreAnalyse1->isVisible())
        return;
    if (!FenetreAnalyse1->Analyse().Donnees().fichier)
        FenetreAnalyse1->MontrerEssai(std::move(donnees), EnMarche);
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
            QStringLiteral("Essais enregistrés (*.txt);;Tous les fichiers (*)"));
        if (!nom.isEmpty())
            chemin = nom.toStdString();
    }
    if (!chemin)
        return;
    // A file that cannot be read raises here: its message goes to the error
    // box, and the window keeps what it showed.
    DonneesEssai donnees;
    donnees.points = Cinetique::LireFichierEssai(*chemin);
    donnees.nom = *chemin;
    donnees.fichier = true;
    donnees.volume = Nombre(Edit1);
    donnees.temperature = Nombre(Edit2);
    essais_.Ajouter({.nom = *chemin, .debut = std::nullopt, .chemin = *chemin, .provenance = Provenance::Fichier,
                     .charger = {}},
                    donnees);
    MontrerAnalyse(std::move(donnees), false);
}
