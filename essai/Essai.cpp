#include "essai/Essai.h"

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

void Essai::Ajouter(LectureEssai lecture)
{
    lectures_.push_back(std::move(lecture));
    // A copy of the list: an observer may subscribe or leave while it is told.
    const auto observateurs = observateurs_;
    for (const auto& [abonnement, observateur] : observateurs)
        observateur(*this, lectures_.back());
}

Essai::Abonnement Essai::Observer(Observateur observateur)
{
    observateurs_.emplace_back(prochain_, std::move(observateur));
    return prochain_++;
}

void Essai::Oublier(Abonnement abonnement)
{
    std::erase_if(observateurs_, [abonnement](const auto& entree) { return entree.first == abonnement; });
}

std::string NomDeLaMachine()
{
    char nom[HOST_NAME_MAX + 1] = {};
    if (gethostname(nom, sizeof nom - 1) != 0)
        return {};
    return nom;
}
