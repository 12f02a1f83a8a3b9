#include "commande/SimulationEssai.h"

#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "card/UDravoC.h"
#include "essai/Ticks.h"
#include "essai/CalculMesure.h"
#include "journal/JournalEssai.h"
#include "kinetics/ConditionsMesure.h"
#include "runtime/CheckedFloat.h"

#include <cassert>
#include <memory>

namespace Cinetique {

namespace {

// The card's read of each tick, as the window asks it.
constexpr std::int32_t kEchantillons = 314;
constexpr double kFrequenceEchantillons = 15700.0;
// The program's default coefficient, which the demonstration's manometer
// matches (100 000 Pa per volt), with one channel.
constexpr double kCoefficient = 100000;
// The virtual clock's step at each poll of the timer: fine beside the
// conversions' 64 µs period.
constexpr std::chrono::nanoseconds kPasDeScrutation{2000};
// The card sat idle before the run: its first reading starts the reaction.
constexpr std::chrono::hours kRepos{1};

} // namespace

std::string JournalSimule(const Simulation& simulation)
{
    assert(!Banc::Erreur(simulation.reaction) && "settings checked by the caller");
    auto reglages = std::make_shared<Banc::Reglages>();
    reglages->Regler(simulation.reaction);
    VirtualClock horloge(kPasDeScrutation);
    SimulatedCard carte(horloge, std::make_unique<DemonstrationSignal>(simulation.graine, reglages));
    TDravoC composant(carte);

    const double volume = ConditionsMesure::VolumeEnM3(simulation.reaction.volumeGaz / 1000);
    const double temperature = ConditionsMesure::TemperatureEnK(simulation.reaction.temperature);
    ConditionsEssai entete;
    entete.debut = kDebutSimulation;
    entete.source = "carte simulée";
    entete.reactionSimulee = Banc::Texte(simulation.reaction);
    entete.volume = simulation.reaction.volumeGaz / 1000; // L
    entete.temperature = simulation.reaction.temperature;
    entete.coefficient = kCoefficient;
    entete.pEtMoinsP = false;
    std::string texte = Journal::TexteEnTete(entete);

    horloge.Advance(kRepos);
    const std::chrono::nanoseconds premiere = horloge.Now();
    double quantiteInitiale = 0;
    for (int ligne = 0; ligne <= simulation.duree; ++ligne) {
        // Each reading starts on its second; the journal dates it when it
        // ends, as the window does.
        horloge.Advance(premiere + std::chrono::seconds(ligne) - horloge.Now());
        composant.MesurerTensions(kEchantillons, kFrequenceEchantillons);
        Journal::Lecture lecture;
        lecture.tempsTick = Ticks::DateDeLigne(ligne);
        lecture.tempsReel = std::chrono::duration<double>(horloge.Now() - premiere).count();
        lecture.tension1 = composant.TensionVoie1;
        lecture.tension2 = composant.TensionVoie2;
        const long double pression =
            CalculMesure::Pression(false, lecture.tension1, lecture.tension2, kCoefficient);
        lecture.pression = Checked::ToDouble(pression);
        const double quantite = Checked::ToDouble(CalculMesure::Quantite(pression, volume, temperature));
        if (ligne == 0)
            quantiteInitiale = quantite;
        lecture.avancement = quantite - quantiteInitiale;
        texte += Journal::TexteLecture(lecture);
    }
    return texte;
}

} // namespace Cinetique
