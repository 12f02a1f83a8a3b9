#include "workers/Acquisition.h"

#include "acquisition/Clocks.h"
#include "card/UDravoC.h"
#include "workers/FilDeTravail.h"
#include "workers/JournalEnFond.h"

namespace {

// The source as the acquisition's component reads it: the component the
// window made over it already placed and configured the card, so this one
// only reads.
class SourceLue final : public LecteurTensions {
public:
    explicit SourceLue(LecteurTensions& source) : source_(source) {}
    Issue<LectureTensions> Lire(std::int32_t nombre, double frequence) override
    {
        return source_.Lire(nombre, frequence);
    }
    Cadence CadencePour(double frequence) const override { return source_.CadencePour(frequence); }
    std::string Description() const override { return source_.Description(); }

private:
    LecteurTensions& source_;
};

// Lives on the acquisition's thread: reads through its own card component
// and holds the open run's journal.
class TravailleurAcquisition : public QObject {
    Q_OBJECT
public:
    TravailleurAcquisition(LecteurTensions& source, Acquisition& controleur)
        : source_(source), composant_(source_), controleur_(controleur)
    {
    }

    void Lire(const DemandeLecture& demande)
    {
        TensionsLues lues;
        try {
            composant_.MesurerTensions(demande.echantillons, demande.frequence);
            MonotonicClock monotone;
            lues.instant = (demande.horloge ? *demande.horloge : monotone).Now();
        } catch (...) {
            lues.echec = std::current_exception();
        }
        lues.marche = demande.marche;
        lues.tension1 = composant_.TensionVoie1;
        lues.tension2 = composant_.TensionVoie2;
        lues.frequence = composant_.Frequence;
        lues.duree = composant_.Duree;
        lues.code = composant_.CodeErreur;
        lues.message = composant_.MessageErreur;
        emit Lue(lues);
    }

    void Commencer(std::uint64_t essai, std::unique_ptr<Journal::Ecrivain> ecrivain,
                   std::unique_ptr<Journal::CopieClasse> copie)
    {
        Finir(essai_);
        essai_ = essai;
        JournalEnFond::Destinataire destinataire{
            &controleur_, [c = &controleur_](const QString& m) { emit c->EchecJournal(m); },
            [c = &controleur_](const QString& chemin) { emit c->FichierJournal(chemin); }};
        JournalEnFond::Copie copieDuJournal;
        copieDuJournal.copie = std::move(copie);
        journal_ = std::make_unique<JournalEnFond>(std::move(ecrivain), destinataire, std::move(copieDuJournal));
    }

    void Ajouter(const Journal::Lecture& lecture)
    {
        if (journal_)
            journal_->Ajouter(lecture);
    }

    void Finir(std::uint64_t essai)
    {
        if (essai != essai_ || !journal_)
            return;
        journal_.reset();
        emit Termine(essai);
    }

signals:
    void Lue(const TensionsLues& lues);
    void Termine(quint64 essai);

private:
    SourceLue source_;
    TDravoC composant_;
    Acquisition& controleur_; // outlives this thread: its destructor ends it
    std::uint64_t essai_ = 0;
    std::unique_ptr<JournalEnFond> journal_;
};

} // namespace

Acquisition::Acquisition(LecteurTensions& source, QObject* parent) : QObject(parent)
{
    qRegisterMetaType<TensionsLues>();
    auto travailleur = std::make_unique<TravailleurAcquisition>(source, *this);
    connect(travailleur.get(), &TravailleurAcquisition::Lue, this, &Acquisition::Recevoir, Qt::QueuedConnection);
    connect(travailleur.get(), &TravailleurAcquisition::Termine, this, &Acquisition::JournalTermine,
            Qt::QueuedConnection);
    fil_ = std::make_unique<FilDeTravail>(std::move(travailleur), "acquisition");
}

Acquisition::~Acquisition()
{
    fil_.reset(); // the reading under way, then the open journal's lines
}

bool Acquisition::Demander(const DemandeLecture& demande)
{
    if (occupe_)
        return false;
    occupe_ = true;
    auto* travailleur = static_cast<TravailleurAcquisition*>(fil_->Travailleur());
    fil_->Executer([travailleur, demande] { travailleur->Lire(demande); });
    return true;
}

void Acquisition::Recevoir(const TensionsLues& lues)
{
    occupe_ = false;
    emit Lue(lues);
}

void Acquisition::CommencerJournal(std::uint64_t essai, std::unique_ptr<Journal::Ecrivain> ecrivain,
                                   std::unique_ptr<Journal::CopieClasse> copie)
{
    auto* travailleur = static_cast<TravailleurAcquisition*>(fil_->Travailleur());
    // The function is copied by Qt's queue: the owned pieces go in shared.
    auto pieces = std::make_shared<std::pair<std::unique_ptr<Journal::Ecrivain>, std::unique_ptr<Journal::CopieClasse>>>(
        std::move(ecrivain), std::move(copie));
    fil_->Executer([travailleur, essai, pieces] {
        travailleur->Commencer(essai, std::move(pieces->first), std::move(pieces->second));
    });
}

void Acquisition::Journaliser(const Journal::Lecture& lecture)
{
    auto* travailleur = static_cast<TravailleurAcquisition*>(fil_->Travailleur());
    fil_->Executer([travailleur, lecture] { travailleur->Ajouter(lecture); });
}

void Acquisition::FinirJournal(std::uint64_t essai)
{
    auto* travailleur = static_cast<TravailleurAcquisition*>(fil_->Travailleur());
    fil_->Executer([travailleur, essai] { travailleur->Finir(essai); });
}

#include "Acquisition.moc"
