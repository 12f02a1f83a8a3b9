#include "essai/Essai.h"

#include "runtime/CheckedFloat.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

namespace {
constexpr std::size_t kLecturesPrevues = 1024; // a run ends with its 1024th reading
} // namespace

Essai::Essai(ConditionsEssai conditions) : conditions_(std::move(conditions))
{
    lectures_.reserve(kLecturesPrevues);
}

template <typename Dire>
void Essai::DireATous(Dire dire)
{
    // A copy of the list: an observer may subscribe or leave while it is told.
    const std::vector<Abonne> abonnes = abonnes_;
    std::exception_ptr premiereErreur;
    for (const Abonne& abonne : abonnes) {
        try {
            dire(abonne.observateur);
        } catch (...) {
            if (!premiereErreur)
                premiereErreur = std::current_exception();
        }
    }
    if (premiereErreur)
        std::rethrow_exception(premiereErreur);
}

void Essai::Ajouter(LectureEssai lecture)
{
    if (lectures_.empty())
        quantiteInitiale_ = lecture.quantite;
    // n is a double, as the first amount is: the first reading's extent is
    // exactly 0.
    lecture.avancement.reset();
    if (lecture.quantite && quantiteInitiale_)
        lecture.avancement = Checked::Subtract(*lecture.quantite, *quantiteInitiale_);
    lectures_.push_back(std::move(lecture));
    DireATous([this](const Observateur& o) {
        if (o.lecture)
            o.lecture(*this, lectures_.back());
    });
}

void Essai::Terminer()
{
    if (termine_)
        return;
    termine_ = true;
    DireATous([this](const Observateur& o) {
        if (o.fin)
            o.fin(*this);
    });
}

Essai::Abonnement Essai::Observer(Observateur observateur, Rang rang)
{
    // After the last one of the same rank: the journal's stay ahead of every view.
    const auto place = std::find_if(abonnes_.begin(), abonnes_.end(), [rang](const Abonne& a) { return a.rang > rang; });
    abonnes_.insert(place, Abonne{prochain_, rang, std::move(observateur)});
    return prochain_++;
}

Essai::Abonnement Essai::Observer(std::function<void(const Essai&, const LectureEssai&)> lecture, Rang rang)
{
    return Observer(Observateur{std::move(lecture), {}}, rang);
}

void Essai::Oublier(Abonnement abonnement)
{
    std::erase_if(abonnes_, [abonnement](const Abonne& a) { return a.abonnement == abonnement; });
}

std::string NomDeLaMachine()
{
    char nom[HOST_NAME_MAX + 1] = {};
    if (gethostname(nom, sizeof nom - 1) != 0)
        return {};
    return nom;
}
