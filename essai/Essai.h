#pragma once
// One measurement run: the conditions it started with, the amount of gas at
// its first reading, and its readings, appended one by one as the ticks take
// them. Whoever shows or keeps the run (the run journal, the main window's
// result table and charts, the analysis window, the list of runs compared)
// observes it: it is told of each new reading and of the run's end. The
// journal is always told first, and no observer's failure keeps another,
// least of all the journal, from being told. The window's historic names
// (the point count, the first point's amount) are read from here; nothing
// reads a run out of a window. Plain C++.
#include "essai/ConditionsEssai.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One reading of the run.
struct LectureEssai {
    int rang = 0;          // the tick's number in the run, from 0: the result table's row
    double tempsTick = 0;  // s, on the tick count (the saved file's date of the row)
    double tempsReel = 0;  // s, the monotonic time since the run's first reading
    double tension1 = 0;   // V
    double tension2 = 0;   // V
    long double pression = 0; // Pa
    // The amount of gas n = p·V/(R·T), mol, as the tick computed it; none
    // when its arithmetic failed (the failure is shown, the pressure kept).
    std::optional<double> quantite;
    // mol from the first reading's amount of gas, set by the run when the
    // reading is added (whatever the caller put there); none when this
    // reading's amount or the first one's is unknown.
    std::optional<long double> avancement;
};

class Essai {
public:
    // Who is told first: the journal, whose line must never be lost to
    // another observer's failure, then the views.
    enum class Rang { Journal, Vue };

    // What an observer is told; either may be empty.
    struct Observateur {
        std::function<void(const Essai& essai, const LectureEssai& lecture)> lecture;
        std::function<void(const Essai& essai)> fin;
    };
    using Abonnement = std::uint64_t;

    // `conditions` as the run started: every one known.
    explicit Essai(ConditionsEssai conditions);
    Essai(const Essai&) = delete;
    Essai& operator=(const Essai&) = delete;

    const ConditionsEssai& Conditions() const { return conditions_; }
    const std::vector<LectureEssai>& Lectures() const { return lectures_; }
    int Nombre() const { return static_cast<int>(lectures_.size()); }
    // The amount of gas at the first reading (mol) the extents are measured
    // from; none before it, or when its arithmetic failed.
    std::optional<double> QuantiteInitiale() const { return quantiteInitiale_; }
    bool Termine() const { return termine_; }

    // Keeps the reading with its extent (its amount minus the first
    // reading's), then tells each observer: the journal's first, then the
    // others in the order they came. An observer that raises does not stop
    // the telling: every other is still told, and the first error then goes
    // on to the caller. The reading stays in the run whatever they do.
    void Ajouter(LectureEssai lecture);

    // The run's end, told once to each observer as Ajouter tells a reading.
    // A reading added later (a tick already under way) is still kept.
    void Terminer();

    // `observateur` is told of every reading added from now on and of the
    // end, until Oublier with what this returns.
    Abonnement Observer(Observateur observateur, Rang rang = Rang::Vue);
    // A shorthand: told of the readings only.
    Abonnement Observer(std::function<void(const Essai&, const LectureEssai&)> lecture, Rang rang = Rang::Vue);
    void Oublier(Abonnement abonnement);

private:
    struct Abonne {
        Abonnement abonnement;
        Rang rang;
        Observateur observateur;
    };
    template <typename Dire>
    void DireATous(Dire dire);

    ConditionsEssai conditions_;
    std::vector<LectureEssai> lectures_;
    std::optional<double> quantiteInitiale_;
    bool termine_ = false;
    std::vector<Abonne> abonnes_; // the journal's first, each rank in its order of subscription
    Abonnement prochain_ = 1;
};

// This computer's host name; empty when the system does not give it.
std::string NomDeLaMachine();
