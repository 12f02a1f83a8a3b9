// The two author links of the "&Aide" menu: the card component hands the
// address to the desktop's open service.
#include "app/UPrincipal.h"
#include "card/Adresses.h"

void TForm1::Accderausitedelauteur1Click(QObject*)
{
    P->AccederAuSite(kAdresseSite);
}

void TForm1::Ecrirelauteur1Click(QObject*)
{
    // The mailbox in its "mailto:" form: a desktop's open service does
    // nothing with a bare mailbox address.
    P->EcrireAuteur(kAdresseCourrielMailto);
}
