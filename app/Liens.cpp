// The two author links of the "&Aide" menu: the card component hands the
// address to the desktop's open service. Where the desktop cannot open it
// (no browser, no mail program), a box gives the address to type by hand.
#include "app/UPrincipal.h"
#include "card/Adresses.h"
#include "runtime/qt/MessageBoxes.h"

#include <string>

void TForm1::Accderausitedelauteur1Click(QObject*)
{
    if (!P->AccederAuSite(kAdresseSite))
        boites_.ShowMessage(std::string("Impossible d'ouvrir le navigateur. Adresse à saisir : ") + kAdresseSite);
}

void TForm1::Ecrirelauteur1Click(QObject*)
{
    // The mailbox in its "mailto:" form: a desktop's open service does
    // nothing with a bare mailbox address. Typed by hand, it is the bare one.
    if (!P->EcrireAuteur(kAdresseCourrielMailto))
        boites_.ShowMessage(std::string("Impossible d'ouvrir la messagerie. Adresse à saisir : ") + kAdresseCourriel);
}
