#include "acquisition/PortSelection.h"

#include "acquisition/Clocks.h"
#include "acquisition/boitier/DetectionBoitier.h"
#include "acquisition/LectureCarte.h"
#include "acquisition/RealPorts.h"
#include "acquisition/SimulatedCard.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::unique_ptr<LecteurTensions> CarteSimulee(const std::shared_ptr<const Banc::Reglages>& banc)
{
    return std::make_unique<LectureCarte>(
        std::make_unique<SimulatedCard>(std::make_unique<MonotonicClock>(),
                                        std::make_unique<DemonstrationSignal>(DemonstrationSignal::kDefaultSeed, banc)),
        "carte simulée");
}

// The first box that answers among the boards' USB serial ports, else the
// simulated card. A box whose port the user may not open stops the start
// with the message on the dialout group, unless another box answers.
Issue<std::unique_ptr<LecteurTensions>> BoitierBrancheOuCarteSimulee(const RechercheBoitier& recherche,
                                                                     const std::shared_ptr<const Banc::Reglages>& banc)
{
    std::string refus;
    for (const std::string& port : PortsDeCartesUsb(recherche.classeTty, recherche.dev)) {
        Issue<std::unique_ptr<BoitierUsb>> boitier = BoitierUsb::Ouvrir(port, recherche.delais);
        if (boitier)
            return std::move(boitier).Valeur();
        if (refus.empty() && boitier.Message() == BoitierUsb::MessageOuverture(port, EACCES))
            refus = boitier.Message();
    }
    if (!refus.empty())
        return Echec{refus + " (Sans boîtier branché, le programme démarre avec la carte simulée.)"};
    return CarteSimulee(banc);
}

} // namespace

Issue<std::unique_ptr<LecteurTensions>> OuvrirPorts(std::shared_ptr<const Banc::Reglages> banc)
{
    return OuvrirPorts(std::getenv(kVariablePorts), RechercheBoitier{}, std::move(banc));
}

Issue<std::unique_ptr<LecteurTensions>> OuvrirPorts(const char* choix, const RechercheBoitier& recherche,
                                                    std::shared_ptr<const Banc::Reglages> banc)
{
    const std::string valeur = choix ? choix : "";
    if (valeur.empty()) {
        return BoitierBrancheOuCarteSimulee(recherche, banc);
    }
    if (valeur == "simulation") {
        return CarteSimulee(banc);
    }
    if (CarteReelleChoisie(choix)) {
        Issue<std::unique_ptr<RealPorts>> ports = RealPorts::Open();
        if (!ports)
            return ports.Erreur();
        return std::make_unique<LectureCarte>(std::move(ports).Valeur(), std::string());
    }
    if (valeur.front() == '/') {
        Issue<std::unique_ptr<BoitierUsb>> boitier = BoitierUsb::Ouvrir(valeur, recherche.delais);
        if (!boitier)
            return Echec{"Boîtier de mesure demandé (" + std::string(kVariablePorts) + "=" + valeur + ") : "
                         + boitier.Message()};
        return std::move(boitier).Valeur();
    }
    return Echec{std::string(kVariablePorts) + "=" + valeur
                 + " : valeur inconnue. Mettez « reel » pour la carte réelle, le chemin du port d'un boîtier "
                   "de mesure USB (par exemple « /dev/ttyACM0 »), ou « simulation » (ou rien) pour la carte "
                   "simulée."};
}

bool CarteReelleChoisie(const char* choix)
{
    const std::string valeur = choix ? choix : "";
    return valeur == "reel" || valeur == "réel";
}
