#pragma once
// What is known of a run besides its readings, in the units the user types
// and every file writes (L, °C): the one description the run starts with,
// its journal's header writes, the reader of saved runs gives back and the
// class synthesis keeps beside each run's results. A saved file may leave
// any of them unknown. Plain C++.
#include <chrono>
#include <optional>
#include <string>

struct ConditionsEssai {
    std::optional<std::chrono::system_clock::time_point> debut;
    // What the source says of itself: "carte d'acquisition", "carte
    // simulée", "boîtier USB, capteur ..."; empty when unknown.
    std::string source;
    std::optional<double> volume;      // L
    std::optional<double> temperature; // °C
    std::optional<double> coefficient; // Pa per V
    bool pEtMoinsP = false;            // channels 1 and 2 carry p and -p
    std::string poste;                 // the computer that measured it (its host name); empty when unknown
    std::string reactionSimulee = {};  // the virtual bench's settings; empty for a real reaction
};
