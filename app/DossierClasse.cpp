// The class folder's setting in the main window: « Dossier de la classe… »
// in the Analyse menu, remembered between sessions, overridden for the whole
// room by NELVAR_CLASSE (journal/CopieClasse.h).
#include "app/UPrincipal.h"
#include "runtime/qt/MessageBoxes.h"

#include <QAction>
#include <QFileDialog>
#include <QSettings>

#include <cstdlib>

namespace {

const QString kCleDossierClasse = QStringLiteral("classe/dossier");

// A path as a menu shows it: its '&' are not mnemonics.
QString TexteDeMenu(const std::string& texte)
{
    return QString::fromStdString(texte).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

Journal::DossierDeLaClasse TForm1::DossierClasse() const
{
    return Journal::ResoudreDossierClasse(std::getenv(Journal::kVariableClasse), ReglageDossierClasse());
}

std::string TForm1::ReglageDossierClasse() const
{
    if (FichierReglages.isEmpty())
        return dossierClasse_;
    const QSettings reglages(FichierReglages, QSettings::IniFormat);
    return reglages.value(kCleDossierClasse).toString().toStdString();
}

void TForm1::RegleDossierClasse(const std::string& chemin)
{
    dossierClasse_ = chemin;
    if (!FichierReglages.isEmpty()) {
        QSettings reglages(FichierReglages, QSettings::IniFormat);
        if (chemin.empty())
            reglages.remove(kCleDossierClasse);
        else
            reglages.setValue(kCleDossierClasse, QString::fromStdString(chemin));
        reglages.sync();
    }
    MontrerDossierClasse();
}

void TForm1::MontrerDossierClasse()
{
    const Journal::DossierDeLaClasse dossier = DossierClasse();
    QString texte;
    if (dossier.chemin.empty())
        texte = QStringLiteral("Actuel : aucun");
    else if (dossier.parEnvironnement)
        texte = QStringLiteral("Actuel : %1 (fixé par %2)")
                    .arg(TexteDeMenu(dossier.chemin), QString::fromLatin1(Journal::kVariableClasse));
    else
        texte = QStringLiteral("Actuel : %1").arg(TexteDeMenu(dossier.chemin));
    DossierClasseActuel1->setText(texte);
    Aucundossierdelaclasse1->setEnabled(!dossier.parEnvironnement && !ReglageDossierClasse().empty());
}

void TForm1::Dossierdelaclasse1Click(QObject*)
{
    const Journal::DossierDeLaClasse dossier = DossierClasse();
    if (dossier.parEnvironnement) {
        boites_.ShowMessage("Le dossier de la classe est fixé pour la salle par la variable d'environnement " +
                            std::string(Journal::kVariableClasse) + " : « " + dossier.chemin + " ».");
        return;
    }
    std::optional<std::string> chemin;
    if (ChoisirDossierClasse) {
        chemin = ChoisirDossierClasse();
    } else {
        const QString nom = QFileDialog::getExistingDirectory(this, QStringLiteral("Dossier de la classe"),
                                                              QString::fromStdString(dossier.chemin));
        if (!nom.isEmpty())
            chemin = nom.toStdString();
    }
    if (chemin && !chemin->empty())
        RegleDossierClasse(*chemin);
}

void TForm1::Aucundossierdelaclasse1Click(QObject*)
{
    RegleDossierClasse({});
}
