#pragma once
// The run's readings and its journal, off the window's thread. The window
// asks for a reading at each tick and goes on; the acquisition's worker,
// which owns the card component it reads the source through (the card's
// timed read with its real-time priority and interrupts suspended, or the
// box's conversation over its serial line), takes it on its thread and
// sends it back as a typed result stamped with the run it was asked in,
// failed readings included. The window only applies results: a result of an
// earlier run is dropped there. A tick that comes while a reading is under
// way (a box that stopped answering) asks for nothing: ticks do not pile up
// behind a silent device.
//
// The worker also holds the run's journal (workers/JournalEnFond.h) from
// the run's start to its end; ending it (file closed, its threads joined)
// happens on the worker's thread, so that the window never waits on a disk
// or a share. Destroying the acquisition waits for the reading under way and
// for every line given to reach the local journal.
#include "journal/CopieClasse.h"
#include "journal/JournalEssai.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

class Clock;
class FilDeTravail;
class LecteurTensions;

// What a reading needs, copied into the request: nothing of the window is
// read from the worker's thread.
struct DemandeLecture {
    std::uint64_t marche = 0;      // the run (press of Button1) it is asked in
    std::int32_t echantillons = 0; // samples of each channel
    double frequence = 0;          // Hz
    Clock* horloge = nullptr;      // dates the reading; none: the monotonic clock
};

// A reading's result, as the card component left its status.
struct TensionsLues {
    std::uint64_t marche = 0; // the run it was asked in, on a failure too
    double tension1 = 0;      // V
    double tension2 = 0;      // V
    double frequence = 0;     // Hz, the rate used
    double duree = 0;         // s
    std::int32_t code = 0;    // the component's status: 0, or its error code
    std::string message;      // its status message (French), empty when none
    std::chrono::nanoseconds instant{0}; // when it was taken, on the readings' clock
    std::exception_ptr echec; // the reading's error, raised again on the window's side
};
Q_DECLARE_METATYPE(TensionsLues)

class Acquisition : public QObject {
    Q_OBJECT
public:
    // Reads `source`, which must outlive the acquisition, from now on only
    // on the worker's thread.
    explicit Acquisition(LecteurTensions& source, QObject* parent = nullptr);
    ~Acquisition() override;

    // Asks for a reading; false (nothing asked) while another is under way.
    bool Demander(const DemandeLecture& demande);
    bool Occupe() const { return occupe_; }

    // Run `essai`'s journal, written from now on to `ecrivain`'s file and,
    // with `copie`, to the class folder. The journal of an earlier run still
    // open is ended first.
    void CommencerJournal(std::uint64_t essai, std::unique_ptr<Journal::Ecrivain> ecrivain,
                          std::unique_ptr<Journal::CopieClasse> copie);
    // Queues the line for the journal open, if any.
    void Journaliser(const Journal::Lecture& lecture);
    // Ends run `essai`'s journal, if it is the one open: every line given is
    // written, the file closed and its threads ended, on the worker's thread.
    void FinirJournal(std::uint64_t essai);

signals:
    // Each reading asked, in the window's thread.
    void Lue(const TensionsLues& lues);
    // A failure of the journal or of its copy to tell (once a run each).
    void EchecJournal(const QString& message);
    // A run's journal file, once it exists.
    void FichierJournal(const QString& chemin);
    // Run `essai`'s journal is released: every line written, the file
    // closed, the journal's thread ended (the copy's too, unless a share
    // holds it).
    void JournalTermine(quint64 essai);

private:
    void Recevoir(const TensionsLues& lues);

    bool occupe_ = false;
    std::unique_ptr<FilDeTravail> fil_;
};
