#include "ExempleSimule.h"

#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "card/UDravoC.h"
#include "runtime/Platform.h"

#include <chrono>
#include <stdexcept>

namespace ExempleSimule {

namespace {

using namespace std::chrono;

// The program's read: 314 samples at 15 700 Hz.
constexpr std::int32_t kEchantillons = 314;
constexpr double kFrequenceLecture = 15700;
// Simulated time between two polls of the timer output during a read.
constexpr microseconds kPasScrutation{2};
// The run starts well after the card's clock started, as after a pause.
constexpr seconds kDebutMesure{10};
constexpr nanoseconds kPeriodeNs{1'000'130'000};

// A desktop whose save dialog answers with one name.
class DialogueRepondant final : public Platform {
public:
    explicit DialogueRepondant(std::string nom) : nom_(std::move(nom)) {}
    void PlaceOnClipboard(const std::string&) override { throw std::logic_error("no clipboard here"); }
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest&) override { return nom_; }
    bool ConfirmReplace(const std::string&) override { return true; } // the example is generated anew
    bool OpenAddress(const std::string&) override { return false; }

private:
    std::string nom_;
};

} // namespace

void EnregistrerMesure(const std::string& fichier)
{
    VirtualClock horloge(kPasScrutation);
    SimulatedCard carte(horloge);
    DialogueRepondant dialogue(fichier);
    TDravoC P(carte, &dialogue);

    for (int n = 1; n <= kPoints; ++n) {
        const nanoseconds tic = kDebutMesure + (n - 1) * kPeriodeNs;
        if (tic > horloge.Now())
            horloge.Advance(tic - horloge.Now());
        P.MesurerTensions(kEchantillons, kFrequenceLecture);
        const long double p =
            (static_cast<long double>(P.TensionVoie1) - P.TensionVoie2) / 2 * static_cast<long double>(kCoefficient);
        const auto ligne = static_cast<std::size_t>(n - 1);
        P.MesuresVoie1[ligne] = p;
        P.ModuleFFT[ligne] = p / static_cast<long double>(kCoefficient);
    }

    P.Frequence = 1 / kPeriode;
    P.EnregistrerMesuresSous(static_cast<std::uint16_t>(kPoints), 0);
}

} // namespace ExempleSimule
