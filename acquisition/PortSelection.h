#pragma once
// The choice of the source of measurements, made once, first thing in
// main(), before the window system exists (see acquisition/RealPorts.h for why).
//
// The environment variable NELVAR_PORTS chooses:
//   unset or empty                 a USB measuring box plugged in at start
//                                  (acquisition/boitier/BoitierUsb.h), looked
//                                  for among the USB serial chips of the
//                                  usual boards only
//                                  (acquisition/boitier/DetectionBoitier.h);
//                                  when none is plugged in, or none answers,
//                                  the simulated card on the monotonic clock
//                                  (acquisition/SimulatedCard.h), so the
//                                  program runs on any PC;
//   "simulation"                   the simulated card, without looking for a box;
//   a device path ("/dev/ttyACM0") the USB measuring box on that port;
//   "reel" (or "réel")             the real card and timer ports (acquisition/RealPorts.h);
//   anything else                  refused.
// The card, simulated or real, is read through its ports
// (acquisition/LectureCarte.h).
// The real ports are never chosen otherwise.
//
// When the choice cannot be honoured (real ports refused, no box answering
// on the path given, unknown value) the result is a failure whose French
// message says why. The program then shows the message and stops with
// kCodeSourceRefusee (commande/CodesSortie.h). It does not fall back to the
// simulation: whoever asked for the real card or a box must not be shown a
// demonstration curve as if it were a measurement. The same holds when a box
// was found at start but its port is refused to the user: the message says
// how to get the right.
#include "acquisition/boitier/BoitierUsb.h"
#include "acquisition/LecteurTensions.h"
#include "acquisition/ReactionSimulee.h"

#include <filesystem>
#include <memory>
#include <string>

inline constexpr const char* kVariablePorts = "NELVAR_PORTS";

// Where the search for a box looks, and how long it waits for one.
struct RechercheBoitier {
    std::filesystem::path classeTty = "/sys/class/tty";
    std::filesystem::path dev = "/dev";
    DelaisBoitier delais;
};

// The source; its Description() is what the main window's caption says of it.
// The simulated card's reaction follows `banc` when one is given (the
// virtual bench's settings, acquisition/ReactionSimulee.h).
Issue<std::unique_ptr<LecteurTensions>> OuvrirPorts(std::shared_ptr<const Banc::Reglages> banc = {});

// The same, for a given value of the variable (null: unset).
Issue<std::unique_ptr<LecteurTensions>> OuvrirPorts(const char* choix, const RechercheBoitier& recherche = {},
                                                    std::shared_ptr<const Banc::Reglages> banc = {});

// Whether this value of the variable asks for the real card (null: unset).
bool CarteReelleChoisie(const char* choix);
