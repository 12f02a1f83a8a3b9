#pragma once
// One run's journal written off the acquisition's thread, so that a slow disk
// (an fsync that takes seconds on a busy USB stick or a network home folder)
// never delays a reading nor the window: the lines are written in the order
// given, each with its fsync (Journal::Ecrivain), on a thread of their own.
// The run's copy in the class folder (journal/CopieClasse.h), when there is
// one, is written on a second thread, from each line once it is in the local
// journal: a share that stops answering holds neither the local journal's
// lines nor their fsync.
//
// Destroying the journal releases the run's writing: every line given is
// written and the file closed (the local disk is waited for, so that
// nothing measured is lost), the copy gets its last lines, and both threads
// end. Only a copy held by a share that does not answer within a few seconds
// is left to end on its own (workers/FilDeTravail.h).
#include "journal/CopieClasse.h"
#include "journal/JournalEssai.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class FilDeTravail;

class JournalEnFond {
public:
    // How one reading is written: returns the French message of a failure
    // to tell, as Journal::Ecrivain::Ajouter does.
    using Ecriture = std::function<std::optional<std::string>(const Journal::Lecture&)>;
    // The run's copy in the class folder; none: no copy.
    struct Copie {
        std::unique_ptr<Journal::CopieClasse> copie;
        // The clock the copy is timed on.
        std::function<Journal::CopieClasse::Horloge::time_point()> horloge = Journal::CopieClasse::Horloge::now;
    };

    // Who is told, in `contexte`'s thread while it lives: a failure to tell
    // as the writer or the copy words it (once a run each), and the journal
    // file's path once the file exists. The copy's last failure may come
    // after the journal is gone: `contexte` must be the longer lived.
    struct Destinataire {
        const QObject* contexte = nullptr;
        std::function<void(const QString& message)> echec;
        std::function<void(const QString& chemin)> fichier;
    };

    // Writes through `ecrivain`, which it owns.
    JournalEnFond(std::unique_ptr<Journal::Ecrivain> ecrivain, Destinataire destinataire, Copie copie);
    // Writes through `ecriture` (a disk the caller holds); no file path.
    JournalEnFond(Ecriture ecriture, Destinataire destinataire, Copie copie);
    ~JournalEnFond();
    JournalEnFond(const JournalEnFond&) = delete;
    JournalEnFond& operator=(const JournalEnFond&) = delete;

    // Queues the reading's line and returns at once.
    void Ajouter(const Journal::Lecture& lecture);
    // Lines given and not yet written.
    int EnAttente() const;

private:
    void Demarrer(Ecriture ecriture, const Journal::Ecrivain* ecrivain, const Destinataire& destinataire, Copie copie);

    std::unique_ptr<Journal::Ecrivain> ecrivain_; // used on the journal's thread only
    std::unique_ptr<FilDeTravail> copie_;   // declared first: ended after the journal's
    std::unique_ptr<FilDeTravail> journal_;
};
