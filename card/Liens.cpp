// The two author links: each hands its address, unchanged, to the desktop's
// open service, and returns whether the desktop opened it. A failure is not
// recorded in the status: the window tells the user (app/Liens.cpp).
#include "card/UDravoC.h"
#include "runtime/Platform.h"

namespace {

bool Ouvrir(Platform* plateForme, const std::string& adresse)
{
    return plateForme != nullptr && plateForme->OpenAddress(adresse);
}

} // namespace

bool TDravoC::AccederAuSite(const std::string& adresse)
{
    EffacerEtat();
    DoUsing();
    return Ouvrir(PlateForme(), adresse);
}

bool TDravoC::EcrireAuteur(const std::string& adresse)
{
    EffacerEtat();
    DoUsing();
    return Ouvrir(PlateForme(), adresse);
}
