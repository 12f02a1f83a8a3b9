#include "card/PortSelection.h"

#include "card/Clocks.h"
#include "card/RealPorts.h"
#include "card/SimulatedCard.h"

#include <cstdlib>

std::unique_ptr<PortIo> OuvrirPorts(std::string& messageErreur)
{
    return OuvrirPorts(std::getenv(kVariablePorts), messageErreur);
}

std::unique_ptr<PortIo> OuvrirPorts(const char* choix, std::string& messageErreur)
{
    messageErreur.clear();
    const std::string valeur = choix ? choix : "";
    if (valeur.empty() || valeur == "simulation") {
        return std::make_unique<SimulatedCard>(std::make_unique<MonotonicClock>());
    }
    if (CarteReelleChoisie(choix)) {
        return RealPorts::Open(messageErreur);
    }
    messageErreur = std::string(kVariablePorts) + "=" + valeur
                    + " : valeur inconnue. Mettez « reel » pour la carte réelle, ou « simulation » "
                      "(ou rien) pour la carte simulée.";
    return nullptr;
}

bool CarteReelleChoisie(const char* choix)
{
    const std::string valeur = choix ? choix : "";
    return valeur == "reel" || valeur == "réel";
}
