#pragma once
// One measurement run: the conditions it started with and its readings,
// appended one by one as the ticks take them. Whoever shows or keeps the run
// (the main window's result table and charts, the run journal, the analysis
// window, the list of runs compared) observes it and is told of each new
// reading; nothing reads a run out of a window. Plain C++.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What a run starts with, as read and checked when "Marche" is pressed.
struct ConditionsEssai {
    std::string source; // what the source says of itself ("carte simulée", "boîtier USB, capteur ..."; "" for the real card)
    std::chrono::system_clock::time_point debut;
    double volume = 0;      // m³
    double temperature = 0; // K
    double coefficient = 0; // Pa per V
    bool pEtMoinsP = false; // channels 1 and 2 carry p and -p
    std::string machine;    // the computer's host name
};

// One reading of the run.
struct LectureEssai {
    int rang = 0;          // the tick's number in the run, from 0: the result table's row
    double tempsTick = 0;  // s, on the tick count (the saved file's date of the row)
    double tempsReel = 0;  // s, the monotonic time since the run's first reading
    double tension1 = 0;   // V
    double tension2 = 0;   // V
    long double pression = 0; // Pa
    // mol from the first reading's amount of gas; none when its arithmetic
    // failed (the failure is shown, the pressure is kept).
    std::optional<long double> avancement;
};

class Essai {
public:
    using Observateur = std::function<void(const Essai& essai, const LectureEssai& lecture)>;
    using Abonnement = std::uint64_t;

    explicit Essai(ConditionsEssai conditions);
    Essai(const Essai&) = delete;
    Essai& operator=(const Essai&) = delete;

    const ConditionsEssai& Conditions() const { return conditions_; }
    const std::vector<LectureEssai>& Lectures() const { return lectures_; }
    int Nombre() const { return static_cast<int>(lectures_.size()); }

    // Keeps the reading, then tells each observer, in the order they came.
    // An observer that raises ends the telling there: the reading stays in
    // the run, the observers after it are not told, and the error goes on to
    // the caller.
    void Ajouter(LectureEssai lecture);

    // `observateur` is told of every reading added from now on, until
    // Oublier with what this returns.
    Abonnement Observer(Observateur observateur);
    void Oublier(Abonnement abonnement);

private:
    ConditionsEssai conditions_;
    std::vector<LectureEssai> lectures_;
    std::vector<std::pair<Abonnement, Observateur>> observateurs_;
    Abonnement prochain_ = 1;
};

// This computer's host name; empty when the system does not give it.
std::string NomDeLaMachine();
