#pragma once
// A run's journal written on a thread of its own, so that a slow disk (an
// fsync that takes seconds on a busy USB stick or a network home folder)
// never delays a reading nor the window. Lines are written in the order
// given, each with its fsync (Journal::Ecrivain); Terminer waits until every
// line given has been written, so that stopping or quitting loses nothing
// measured. The run's copy in the class folder (journal/CopieClasse.h), when
// there is one, is written on a second thread of its own, from the lines
// once they are in the local journal, once a period and at the end: a share
// that stops answering holds neither the local journal's lines nor their
// fsync. Plain C++.
#include "journal/CopieClasse.h"
#include "journal/JournalEssai.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace Journal {

// The run's copy in the class folder, given to EnFond; none: no copy.
struct CopieDuJournal {
    std::unique_ptr<CopieClasse> copie;
    // The clock the copy is timed on.
    std::function<CopieClasse::Horloge::time_point()> horloge = CopieClasse::Horloge::now;
};

class EnFond {
public:
    // How one reading is written: returns the French message of a failure
    // to tell, as Ecrivain::Ajouter does.
    using Ecriture = std::function<std::optional<std::string>(const Lecture&)>;
    // Told on the writing thread: a failure's message (once a run, as the
    // writer gives it), and the file's path once the file exists.
    struct Rappels {
        std::function<void(const std::string& message)> echec;
        std::function<void(const std::string& chemin)> fichier;
    };

    using Copie = CopieDuJournal;

    // Writes through `ecrivain`, which it owns, and to `copie`; its
    // failures are told through `rappels.echec` as the journal's are.
    EnFond(std::unique_ptr<Ecrivain> ecrivain, Rappels rappels, Copie copie = {});
    // Writes through `ecriture` (the tests' hand on the disk); no file path.
    EnFond(Ecriture ecriture, Rappels rappels, Copie copie = {});
    // Terminer.
    ~EnFond();
    EnFond(const EnFond&) = delete;
    EnFond& operator=(const EnFond&) = delete;

    // Queues the reading's line and returns at once.
    void Ajouter(const Lecture& lecture);
    // Waits until every line queued is written, and the copy with them,
    // then ends both threads (the local journal's first).
    void Terminer();
    // Lets the thread end once every line queued is written, without
    // waiting for it; Terminer (or the destructor) then joins it. No line
    // may be queued after Fermer or Terminer.
    void Fermer();
    // Lines queued and not yet written.
    std::size_t EnAttente() const;

private:
    void Travailler();
    void Copier();
    void Dire(const std::optional<std::string>& echec) const;

    std::unique_ptr<Ecrivain> ecrivain_;
    Ecriture ecriture_;
    Rappels rappels_;
    Copie copie_;
    mutable std::mutex verrou_;
    std::condition_variable signal_;
    std::deque<Lecture> file_;
    std::size_t enCours_ = 0; // lines taken off the queue and not yet written
    bool fin_ = false;
    // The lines in the local journal that the copy has not taken yet.
    std::deque<Lecture> fileCopie_;
    bool finCopie_ = false;
    std::condition_variable signalCopie_;
    std::thread fil_;
    std::thread filCopie_;
};

} // namespace Journal
