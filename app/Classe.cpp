// The menu "Analyse"'s class command: the synthesis window on the class
// folder (app/FenetreClasse.h).
#include "app/FenetreClasse.h"
#include "app/UPrincipal.h"

#include <QFileDialog>

#include <cstdlib>

std::optional<std::string> TForm1::DossierClasse()
{
    if (const char* variable = std::getenv("NELVAR_CLASSE"); variable && *variable)
        return std::string(variable);
    const QString dossier =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Dossier de la classe"), QString());
    if (dossier.isEmpty())
        return std::nullopt;
    return dossier.toStdString();
}

void TForm1::Synthesedelaclasse1Click(QObject*)
{
    const std::optional<std::string> dossier = ChoisirDossierClasse ? ChoisirDossierClasse() : DossierClasse();
    if (!dossier)
        return;
    // One window; on another folder, a new one.
    if (FenetreClasse1 && FenetreClasse1->Dossier() != *dossier) {
        delete FenetreClasse1;
        FenetreClasse1 = nullptr;
    }
    if (!FenetreClasse1)
        FenetreClasse1 = new FenetreClasse(*plateForme_, *dossier, this);
    FenetreClasse1->show();
    FenetreClasse1->raise();
    FenetreClasse1->activateWindow();
}
