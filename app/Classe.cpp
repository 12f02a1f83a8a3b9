// The menu "Analyse"'s class synthesis: its window (classe/fenetre/FenetreClasse.h) on
// the class folder (app/DossierClasse.cpp).
#include "classe/fenetre/FenetreClasse.h"
#include "app/UPrincipal.h"

void TForm1::Synthesedelaclasse1Click(QObject* Sender)
{
    // No class folder yet: chosen first, as « Dossier de la classe… » does.
    if (DossierClasse().chemin.empty())
        Dossierdelaclasse1Click(Sender);
    const std::string dossier = DossierClasse().chemin;
    if (dossier.empty())
        return;
    // One window; on another folder, a new one.
    if (FenetreClasse1 && FenetreClasse1->Dossier() != dossier) {
        delete FenetreClasse1;
        FenetreClasse1 = nullptr;
    }
    if (!FenetreClasse1)
        FenetreClasse1 = new FenetreClasse(*plateForme_, dossier, this);
    FenetreClasse1->show();
    FenetreClasse1->raise();
    FenetreClasse1->activateWindow();
}
