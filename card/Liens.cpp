// The two author links: each hands its address, unchanged, to the desktop's
// open service. Whether the desktop could open it is not looked at: a
// failure is neither shown nor recorded in the status.
#include "card/UDravoC.h"
#include "runtime/Platform.h"

namespace {

void Ouvrir(Platform* plateForme, const std::string& adresse)
{
    if (plateForme != nullptr)
        static_cast<void>(plateForme->OpenAddress(adresse));
}

} // namespace

void TDravoC::AccederAuSite(const std::string& adresse)
{
    EffacerEtat();
    DoUsing();
    Ouvrir(PlateForme(), adresse);
}

void TDravoC::EcrireAuteur(const std::string& adresse)
{
    EffacerEtat();
    DoUsing();
    Ouvrir(PlateForme(), adresse);
}
