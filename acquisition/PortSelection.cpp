#include "acquisition/PortSelection.h"

#include "acquisition/Clocks.h"
#include "acquisition/boitier/DetectionBoitier.h"
#include "acquisition/LectureCarte.h"
#include "acquisition/RealPorts.h"
#include "acquisition/SimulatedCard.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::unique_ptr<LecteurTensions> CarteSimulee()
{
    return std::make_unique<LectureCarte>(std::make_unique<SimulatedCard>(std::make_unique<MonotonicClock>()),
                                          "carte simulée");
}

// The first box that answers among the boards' USB serial ports, else the
// simulated card. A box whose port the user may not open stops the start
// with the message on the dialout group, unless another box answers.
std::unique_ptr<LecteurTensions> BoitierBrancheOuCarteSimulee(std::string& messageErreur, const RechercheBoitier& recherche)
{
    std::string refus;
    for (const std::string& port : PortsDeCartesUsb(recherche.classeTty, recherche.dev)) {
        std::string message;
        if (std::unique_ptr<BoitierUsb> boitier = BoitierUsb::Ouvrir(port, message, recherche.delais))
            return boitier;
        if (refus.empty() && message == BoitierUsb::MessageOuverture(port, EACCES))
            refus = message;
    }
    if (!refus.empty()) {
        messageErreur = refus + " (Sans boîtier branché, le programme démarre avec la carte simulée.)";
        return nullptr;
    }
    return CarteSimulee();
}

} // namespace

std::unique_ptr<LecteurTensions> OuvrirPorts(std::string& messageErreur)
{
    return OuvrirPorts(std::getenv(kVariablePorts), messageErreur);
}

std::unique_ptr<LecteurTensions> OuvrirPorts(const char* choix, std::string& messageErreur,
                                             const RechercheBoitier& recherche)
{
    messageErreur.clear();
    const std::string valeur = choix ? choix : "";
    if (valeur.empty()) {
        return BoitierBrancheOuCarteSimulee(messageErreur, recherche);
    }
    if (valeur == "simulation") {
        return CarteSimulee();
    }
    if (CarteReelleChoisie(choix)) {
        std::unique_ptr<RealPorts> ports = RealPorts::Open(messageErreur);
        if (!ports)
            return nullptr;
        return std::make_unique<LectureCarte>(std::move(ports), std::string());
    }
    if (valeur.front() == '/') {
        std::unique_ptr<BoitierUsb> boitier = BoitierUsb::Ouvrir(valeur, messageErreur, recherche.delais);
        if (!boitier)
            messageErreur = "Boîtier de mesure demandé (" + std::string(kVariablePorts) + "=" + valeur + ") : "
                            + messageErreur;
        return boitier;
    }
    messageErreur = std::string(kVariablePorts) + "=" + valeur
                    + " : valeur inconnue. Mettez « reel » pour la carte réelle, le chemin du port d'un boîtier "
                      "de mesure USB (par exemple « /dev/ttyACM0 »), ou « simulation » (ou rien) pour la carte "
                      "simulée.";
    return nullptr;
}

bool CarteReelleChoisie(const char* choix)
{
    const std::string valeur = choix ? choix : "";
    return valeur == "reel" || valeur == "réel";
}
