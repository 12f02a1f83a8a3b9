#pragma once
// The run's readings taken on a thread of their own: the window asks for one
// at each tick and goes on; the reading (the card component's read of its
// source: the card's timed read with its real-time priority and interrupts
// suspended, or the box's conversation over its serial line) runs on the
// reading thread, and its result comes back to the window as an event of
// the window's own queue. The window thus never waits on a device. A tick
// that comes while a reading is still under way (a box that stopped
// answering) asks for nothing: ticks do not pile up behind a silent device.
#include <QObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>

struct TensionsLues {
    std::uint64_t marche = 0; // the run (press of Button1) it was asked in
    double tension1 = 0;      // V
    double tension2 = 0;      // V
    std::chrono::nanoseconds instant{0}; // when it was taken, on the readings' clock
    std::exception_ptr echec; // the reading's error, raised again on the window's side
};

class LecturesEnFond {
public:
    // Takes one reading; raises when it cannot (the error goes to the window).
    using Lecture = std::function<TensionsLues()>;
    // Given the reading on the window's thread.
    using Livraison = std::function<void(TensionsLues)>;

    // `fenetre` receives the results, in its thread, while it lives.
    LecturesEnFond(Lecture lire, Livraison livrer, QObject* fenetre);
    // Waits for the reading under way, then ends the thread.
    ~LecturesEnFond();
    LecturesEnFond(const LecturesEnFond&) = delete;
    LecturesEnFond& operator=(const LecturesEnFond&) = delete;

    // Asks for a reading for run `marche`; false (nothing asked) while
    // another is under way.
    bool Demander(std::uint64_t marche);
    // Waits until no reading is under way.
    void Attendre();
    bool Occupe() const;

private:
    Lecture lire_;
    Livraison livrer_;
    QObject* fenetre_;
    QThread fil_;
    QObject* contexte_; // lives in fil_: the readings run in its events
    mutable std::mutex verrou_;
    std::condition_variable libre_;
    bool occupe_ = false;
};
