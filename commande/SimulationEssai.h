#pragma once
// A run of the virtual bench written at once, without waiting for real
// time: the simulated card (acquisition/SimulatedCard.h) on a virtual clock,
// read by the card component as the window reads it (314 conversions of each
// channel at 15 700 Hz, one reading a second), each reading's pressure and
// extent computed as a run's, the whole written as a run journal
// (journal/JournalEssai.h) whose header says « carte simulée » and the
// bench's settings, with the bath's temperature and the flask's gas volume as
// the conditions typed. The same settings, duration and seed give the same
// text, byte for byte: the start written is a fixed date and no computer's
// name is written.
#include "acquisition/DemonstrationSignal.h"
#include "acquisition/ReactionSimulee.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace Cinetique {

struct Simulation {
    Banc::Reaction reaction;
    int duree = 600;         // s: readings at 0, 1, ..., duree s
    std::uint64_t graine = DemonstrationSignal::kDefaultSeed; // the noise's seed
};

// The start every simulated journal gives: 2026-09-01 08:00:00 UTC.
inline constexpr std::chrono::system_clock::time_point kDebutSimulation{std::chrono::seconds(1788249600)};

// The journal's whole text. The settings must be valid (Banc::Erreur).
std::string JournalSimule(const Simulation& simulation);

} // namespace Cinetique
