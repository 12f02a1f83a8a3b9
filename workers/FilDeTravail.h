#pragma once
// The one way the program runs work off the window's thread: a worker object
// moved to a QThread of its own, given its work by queued calls (each runs
// in the thread's event loop, in the order asked) and sending its results
// back as typed signals, which reach their receivers in their own threads.
// The controller (this class, owned by whoever asked for the thread) ends
// the thread in its destructor: it queues the end after the work already
// asked, so nothing asked is dropped, then waits for it. The worker is
// deleted on its thread as the thread ends.
//
// A thread whose work may hang on something the program cannot make answer
// (a network share) is made with Fin::Laisser and a delay: when its work is
// not over within that delay of the destruction, the controller waits no
// more; the thread ends on its own once that work returns, runs nothing
// more, and deletes itself and its worker. Nothing may keep a pointer to such a worker: its signals,
// queued to their receivers, are dropped by Qt once a receiver is gone.
#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QThread;

class FilDeTravail {
public:
    enum class Fin {
        Attendre, // the destructor waits for the work asked (local work: the disk, the device)
        Laisser,  // the destructor leaves work still under way after the delay to end on its own
    };

    // Moves `travailleur` (no parent) to a new thread named `nom` and starts it.
    FilDeTravail(std::unique_ptr<QObject> travailleur, const char* nom, Fin fin = Fin::Attendre,
                 std::chrono::milliseconds delai = std::chrono::milliseconds(0));
    ~FilDeTravail();
    FilDeTravail(const FilDeTravail&) = delete;
    FilDeTravail& operator=(const FilDeTravail&) = delete;

    // The worker, which lives on the thread: connect to its signals, never
    // call it directly.
    QObject* Travailleur() const { return travailleur_; }

    // Runs `travail` on the thread after the work asked before it.
    void Executer(std::function<void()> travail);
    // Work asked and not yet over.
    int EnCours() const { return etat_->enCours.load(); }

private:
    struct Etat {
        std::atomic<int> enCours{0};
    };
    std::shared_ptr<Etat> etat_;
    QThread* fil_;
    QObject* travailleur_;
    Fin fin_;
    std::chrono::milliseconds delai_;
};
