#include "journal/JournalEnFond.h"

namespace Journal {

EnFond::EnFond(std::unique_ptr<Ecrivain> ecrivain, Rappels rappels, Copie copie)
    : ecrivain_(std::move(ecrivain)), rappels_(std::move(rappels)), copie_(std::move(copie))
{
    ecriture_ = [this](const Lecture& lecture) { return ecrivain_->Ajouter(lecture); };
    fil_ = std::thread([this] { Travailler(); });
    if (copie_.copie)
        filCopie_ = std::thread([this] { Copier(); });
}

EnFond::EnFond(Ecriture ecriture, Rappels rappels, Copie copie)
    : ecriture_(std::move(ecriture)), rappels_(std::move(rappels)), copie_(std::move(copie))
{
    fil_ = std::thread([this] { Travailler(); });
    if (copie_.copie)
        filCopie_ = std::thread([this] { Copier(); });
}

EnFond::~EnFond()
{
    Terminer();
}

void EnFond::Ajouter(const Lecture& lecture)
{
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        file_.push_back(lecture);
    }
    signal_.notify_one();
}

void EnFond::Fermer()
{
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        fin_ = true;
    }
    signal_.notify_one();
}

void EnFond::Terminer()
{
    Fermer();
    if (fil_.joinable())
        fil_.join();
    if (filCopie_.joinable())
        filCopie_.join();
}

std::size_t EnFond::EnAttente() const
{
    const std::lock_guard<std::mutex> garde(verrou_);
    return file_.size() + enCours_;
}

void EnFond::Dire(const std::optional<std::string>& echec) const
{
    if (echec && rappels_.echec)
        rappels_.echec(*echec);
}

void EnFond::Travailler()
{
    std::string cheminDit;
    std::unique_lock<std::mutex> verrou(verrou_);
    for (;;) {
        signal_.wait(verrou, [this] { return fin_ || !file_.empty(); });
        if (file_.empty()) {
            // fin_, and everything written: the copy ends once it has the
            // last lines.
            finCopie_ = true;
            verrou.unlock();
            signalCopie_.notify_one();
            return;
        }
        const Lecture lecture = file_.front();
        file_.pop_front();
        ++enCours_;
        verrou.unlock();

        const std::optional<std::string> echec = ecriture_(lecture);
        if (ecrivain_ && !ecrivain_->Chemin().empty() && ecrivain_->Chemin() != cheminDit) {
            cheminDit = ecrivain_->Chemin();
            if (rappels_.fichier)
                rappels_.fichier(cheminDit);
        }
        Dire(echec);

        verrou.lock();
        --enCours_;
        // The copy after the local journal: the safe copy comes first.
        if (copie_.copie) {
            fileCopie_.push_back(lecture);
            signalCopie_.notify_one();
        }
    }
}

void EnFond::Copier()
{
    std::unique_lock<std::mutex> verrou(verrou_);
    for (;;) {
        signalCopie_.wait(verrou, [this] { return finCopie_ || !fileCopie_.empty(); });
        if (fileCopie_.empty()) {
            verrou.unlock();
            Dire(copie_.copie->Terminer());
            return;
        }
        std::deque<Lecture> lectures;
        lectures.swap(fileCopie_);
        verrou.unlock();
        for (const Lecture& lecture : lectures)
            Dire(copie_.copie->Ajouter(lecture, copie_.horloge()));
        verrou.lock();
    }
}

} // namespace Journal
