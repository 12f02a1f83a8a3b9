#pragma once
// The choice of the ports the program talks to, made once, first thing in
// main(), before the window system exists (see card/RealPorts.h for why).
//
// The environment variable NELVAR_PORTS chooses:
//   unset, empty or "simulation"   the simulated card on the monotonic clock
//                                  (card/SimulatedCard.h): the default, so the
//                                  program runs on any PC;
//   "reel" (or "réel")             the real card and timer ports (card/RealPorts.h);
//   anything else                  refused.
// The real ports are never chosen otherwise.
//
// When the choice cannot be honoured (real ports refused, unknown value) the
// result is null and `messageErreur` says why, in French. The program then
// shows the message and stops with kCodeSortieRefus. It does not fall back to
// the simulation: whoever asked for the real card must not be shown a
// demonstration curve as if it were a measurement.
#include "card/PortIo.h"

#include <memory>
#include <string>

inline constexpr const char* kVariablePorts = "NELVAR_PORTS";
inline constexpr int kCodeSortieRefus = 2;

std::unique_ptr<PortIo> OuvrirPorts(std::string& messageErreur);

// The same, for a given value of the variable (null: unset).
std::unique_ptr<PortIo> OuvrirPorts(const char* choix, std::string& messageErreur);

// Whether this value of the variable asks for the real card (null: unset).
bool CarteReelleChoisie(const char* choix);
