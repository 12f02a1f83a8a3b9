#include "workers/JournalEnFond.h"

#include "workers/FilDeTravail.h"

namespace {

// How long the end of a run waits for its copy to reach the class folder
// (on the acquisition's thread, never the window's): a share that takes
// longer is left to take the copy on its own thread.
constexpr std::chrono::seconds kAttenteCopie{5};

// The local journal's worker: writes each line, and says the file's path
// once it exists and each failure the writer gives.
class EcrivainDuJournal : public QObject {
    Q_OBJECT
public:
    EcrivainDuJournal(JournalEnFond::Ecriture ecriture, const Journal::Ecrivain* ecrivain)
        : ecriture_(std::move(ecriture)), ecrivain_(ecrivain)
    {
    }

    void Ecrire(const Journal::Lecture& lecture)
    {
        const std::optional<std::string> echec = ecriture_(lecture);
        if (ecrivain_ && !ecrivain_->Chemin().empty() && ecrivain_->Chemin() != cheminDit_) {
            cheminDit_ = ecrivain_->Chemin();
            emit Fichier(QString::fromStdString(cheminDit_));
        }
        if (echec)
            emit Echec(QString::fromStdString(*echec));
    }

signals:
    void Echec(const QString& message);
    void Fichier(const QString& chemin);

private:
    JournalEnFond::Ecriture ecriture_;
    const Journal::Ecrivain* ecrivain_;
    std::string cheminDit_;
};

// The class folder's copy's worker: owns the copy; its failures are said.
class CopieDuJournal : public QObject {
    Q_OBJECT
public:
    explicit CopieDuJournal(JournalEnFond::Copie copie) : copie_(std::move(copie)) {}

    void Ajouter(const Journal::Lecture& lecture) { Dire(copie_.copie->Ajouter(lecture, copie_.horloge())); }
    void Terminer() { Dire(copie_.copie->Terminer()); }

signals:
    void Echec(const QString& message);

private:
    void Dire(const std::optional<std::string>& echec)
    {
        if (echec)
            emit Echec(QString::fromStdString(*echec));
    }

    JournalEnFond::Copie copie_;
};

} // namespace

JournalEnFond::JournalEnFond(std::unique_ptr<Journal::Ecrivain> ecrivain, Destinataire destinataire, Copie copie)
    : ecrivain_(std::move(ecrivain))
{
    Journal::Ecrivain* e = ecrivain_.get();
    Demarrer([e](const Journal::Lecture& lecture) { return e->Ajouter(lecture); }, e, destinataire, std::move(copie));
}

JournalEnFond::JournalEnFond(Ecriture ecriture, Destinataire destinataire, Copie copie)
{
    Demarrer(std::move(ecriture), nullptr, destinataire, std::move(copie));
}

void JournalEnFond::Demarrer(Ecriture ecriture, const Journal::Ecrivain* ecrivain, const Destinataire& destinataire,
                             Copie copie)
{
    // The workers' signals reach the receiver's functions as queued events
    // of its thread; Qt drops them once the receiver is gone.
    auto ecrivainDuJournal = std::make_unique<EcrivainDuJournal>(std::move(ecriture), ecrivain);
    if (destinataire.echec)
        QObject::connect(ecrivainDuJournal.get(), &EcrivainDuJournal::Echec, destinataire.contexte,
                         destinataire.echec, Qt::QueuedConnection);
    if (destinataire.fichier)
        QObject::connect(ecrivainDuJournal.get(), &EcrivainDuJournal::Fichier, destinataire.contexte,
                         destinataire.fichier, Qt::QueuedConnection);
    journal_ = std::make_unique<FilDeTravail>(std::move(ecrivainDuJournal), "journal");
    if (copie.copie) {
        auto copieDuJournal = std::make_unique<CopieDuJournal>(std::move(copie));
        if (destinataire.echec)
            QObject::connect(copieDuJournal.get(), &CopieDuJournal::Echec, destinataire.contexte, destinataire.echec,
                             Qt::QueuedConnection);
        copie_ = std::make_unique<FilDeTravail>(std::move(copieDuJournal), "copie", FilDeTravail::Fin::Laisser,
                                                kAttenteCopie);
    }
}

JournalEnFond::~JournalEnFond()
{
    // Every line reaches the local journal first (and, from there, the
    // copy's queue); then the copy gets its end.
    journal_.reset();
    ecrivain_.reset(); // the file closed
    if (copie_) {
        auto* copie = static_cast<CopieDuJournal*>(copie_->Travailleur());
        copie_->Executer([copie] { copie->Terminer(); });
        copie_.reset();
    }
}

void JournalEnFond::Ajouter(const Journal::Lecture& lecture)
{
    auto* ecrivain = static_cast<EcrivainDuJournal*>(journal_->Travailleur());
    // The copy's thread outlives the journal's (ended after it), and its
    // worker lives as long as its thread.
    FilDeTravail* fil = copie_.get();
    auto* copie = fil ? static_cast<CopieDuJournal*>(fil->Travailleur()) : nullptr;
    journal_->Executer([ecrivain, fil, copie, lecture] {
        ecrivain->Ecrire(lecture);
        // The copy after the local journal: the safe copy comes first.
        if (fil)
            fil->Executer([copie, lecture] { copie->Ajouter(lecture); });
    });
}

int JournalEnFond::EnAttente() const { return journal_->EnCours(); }

#include "JournalEnFond.moc"
