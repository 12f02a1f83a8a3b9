#include "acquisition/LectureCarte.h"

#include "runtime/CheckedFloat.h"

#include <algorithm>
#include <chrono>

namespace {

// The card's converter.
constexpr std::uint8_t kDebutConversion = 0xFF; // written to a channel's port to start a conversion

// Timer channel 2 and the port that gates it.
constexpr std::uint16_t kPortDonneesCompteur2 = 0x42;
constexpr std::uint16_t kPortModeTemporisateur = 0x43;
constexpr std::uint16_t kPortSysteme = 0x61;
constexpr std::uint8_t kModeCompteur2 = 0xB6;       // channel 2, low byte then high byte, mode 3 (square wave), binary
constexpr std::uint8_t kBitPorteCompteur2 = 0x01;   // port 0x61 bit 0: gate of channel 2
constexpr std::uint8_t kBitHautParleur = 0x02;      // port 0x61 bit 1: speaker on
constexpr std::uint8_t kBitSortieCompteur2 = 0x20;  // port 0x61 bit 5: reads back OUT of channel 2
constexpr std::uint16_t kDiviseurMin = 2;
constexpr std::uint16_t kDiviseurMax = 0xFFFF;

// Settling delay: an empty loop of fixed length, not a timed wait.
constexpr double kConstanteDelai = 1.0e9;
constexpr std::int32_t kToursDelai = static_cast<std::int32_t>(kConstanteDelai / 20000); // 50 000

// Longest time the passes of a read may spend polling the timer, on the
// clock the ports run on: ten times the read's own window (N / Frequence;
// 200 ms for the program's 20 ms read), and never less than kAttenteMinimale,
// so that a read of a few samples is not cut short by the system's
// scheduling. A live timer gives its N + 1 edges in about one window. A timer
// that never toggles (no channel 2 read-back on the machine) would otherwise
// hold the program for ever with real-time priority; past this bound the
// read gives up. Bounding by time rather than by a count of polls makes the
// bound the same whatever a poll costs. The normal port sequence is
// unchanged.
//
// A gap between two polls longer than kEcartMaximal counts as that much
// only: a poll takes about a microsecond, so such a gap is the program held
// by the system (another task on a loaded machine, the simulated card's
// process put aside), not the timer being slow, and must not end a read
// whose timer is alive.
constexpr double kFacteurAttente = 10;
constexpr std::chrono::nanoseconds kAttenteMinimale = std::chrono::milliseconds(10);
constexpr std::chrono::nanoseconds kEcartMaximal = std::chrono::milliseconds(1);

// Converter: 12 bits over ±5.12125 V.
constexpr double kMilieuEchelle = 2047.5;
constexpr double kPleineEchelle = 10.24;
constexpr double kPasEchelle = 4094;

void DelaiStabilisation()
{
    // A volatile counter: the compiler must perform every step.
    volatile std::int32_t compte = kToursDelai;
    while (compte > 0) {
        compte = compte - 1;
    }
}

// The 12-bit sample of a data word: the low byte holds the eight most
// significant bits, the upper four bits of the high byte the four least
// significant ones; bits 8 to 11 are not used.
constexpr std::int32_t Echantillon(std::uint16_t mot)
{
    return static_cast<std::int32_t>(mot & 0xFF) * 16 + (mot >> 12);
}

double TensionMoyenne(std::int32_t somme, std::int32_t nombre)
{
    const double moyenne = static_cast<double>(somme) / nombre;
    return (moyenne - kMilieuEchelle) * kPleineEchelle / kPasEchelle;
}

// Adds a sample to a channel sum kept, like the card's, in 32 signed bits: a
// sum past 2^31 (more than 524 416 full-scale samples) wraps around instead
// of being undefined.
inline void Ajouter(std::int32_t& somme, std::int32_t echantillon)
{
    somme = static_cast<std::int32_t>(static_cast<std::uint32_t>(somme) + static_cast<std::uint32_t>(echantillon));
}

// The time the passes of one read spend polling the timer, on the ports'
// clock, against the read's bound.
class TempsDeScrutation {
public:
    // For a read of `duree` seconds.
    TempsDeScrutation(PortIo& ports, double duree)
        : ports_(ports),
          maximum_(std::max(kAttenteMinimale, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(duree * kFacteurAttente)))),
          precedent_(ports.Now())
    {
    }

    // Counts the time since the last count; true once the bound is reached.
    bool Epuise()
    {
        const std::chrono::nanoseconds maintenant = ports_.Now();
        ecoule_ += std::min(maintenant - precedent_, kEcartMaximal);
        precedent_ = maintenant;
        return ecoule_ >= maximum_;
    }

private:
    PortIo& ports_;
    std::chrono::nanoseconds maximum_;
    std::chrono::nanoseconds precedent_;
    std::chrono::nanoseconds ecoule_{0};
};

// Waits for a rising edge of the timer output: bit 5 of port 0x61 seen at 0
// at least once, then at 1. Returns false when the read's polling time runs
// out first.
inline bool AttendreFrontMontant(PortIo& ports, TempsDeScrutation& temps)
{
    bool vuBas = false;
    for (;;) {
        if ((ports.inb(kPortSysteme) & kBitSortieCompteur2) == 0) {
            vuBas = true;
        } else if (vuBas) {
            return true;
        }
        if (temps.Epuise()) {
            return false;
        }
    }
}

// Processor interrupts suspended (real-time priority for the real ports)
// for the guard's lifetime: given back on every way out, a throw included.
class InterruptionsSuspendues {
public:
    explicit InterruptionsSuspendues(PortIo& ports) : ports_(ports) { ports_.DisableInterrupts(); }
    ~InterruptionsSuspendues() { ports_.EnableInterrupts(); }
    InterruptionsSuspendues(const InterruptionsSuspendues&) = delete;
    InterruptionsSuspendues& operator=(const InterruptionsSuspendues&) = delete;

private:
    PortIo& ports_;
};

} // namespace

namespace Temporisateur {

Diviseur DiviseurPour(double frequence)
{
    const long double quotient = Checked::Divide(kHorloge, frequence);
    if (!(quotient >= kDiviseurMin)) {
        return {kDiviseurMin, false};
    }
    if (quotient >= kDiviseurMax + 1.0L) {
        return {kDiviseurMax, false};
    }
    return {static_cast<std::uint16_t>(quotient), true};
}

} // namespace Temporisateur

LectureCarte::LectureCarte(PortIo& ports, std::string description)
    : ports_(ports), description_(std::move(description))
{
}

LectureCarte::LectureCarte(std::unique_ptr<PortIo> ports, std::string description)
    : proprietaire_(std::move(ports)), ports_(*proprietaire_), description_(std::move(description))
{
}

void LectureCarte::EcrireControle(std::uint8_t mot)
{
    ports_.outb(plan_.controle, mot);
}

Cadence LectureCarte::CadencePour(double frequence) const
{
    const Temporisateur::Diviseur diviseur = Temporisateur::DiviseurPour(frequence);
    return {Temporisateur::Frequence(diviseur.valeur), diviseur.accepte};
}

Issue<LectureTensions> LectureCarte::Lire(std::int32_t nombre, double frequence)
{
    const PlanDesPorts voies = plan_;
    const std::uint16_t diviseur = Temporisateur::DiviseurPour(frequence).valeur;
    const double frequenceTimer = Temporisateur::Frequence(diviseur);
    const double duree = static_cast<std::uint32_t>(nombre) / frequenceTimer;

    std::int32_t somme1 = 0;
    std::int32_t somme2 = 0;
    bool horlogeMuette = false;
    {
        const InterruptionsSuspendues suspendues(ports_);

        std::uint8_t etat =
            static_cast<std::uint8_t>(ports_.inb(kPortSysteme) & ~(kBitPorteCompteur2 | kBitHautParleur));
        DelaiStabilisation();
        ports_.outb(kPortSysteme, etat);
        DelaiStabilisation();
        ports_.outb(kPortModeTemporisateur, kModeCompteur2);
        DelaiStabilisation();
        ports_.outb(kPortDonneesCompteur2, static_cast<std::uint8_t>(diviseur & 0xFF));
        DelaiStabilisation();
        ports_.outb(kPortDonneesCompteur2, static_cast<std::uint8_t>(diviseur >> 8));
        DelaiStabilisation();
        etat = static_cast<std::uint8_t>(ports_.inb(kPortSysteme) | kBitPorteCompteur2);
        DelaiStabilisation();
        ports_.outb(kPortSysteme, etat);

        // N + 1 passes: each reads the conversions started one timer period
        // earlier, then starts the next ones. The first pass has nothing
        // meaningful to read yet: its channel-1 word is discarded.
        TempsDeScrutation temps(ports_, duree);
        for (std::int64_t passe = 0; passe <= nombre; ++passe) {
            if (!AttendreFrontMontant(ports_, temps)) {
                horlogeMuette = true;
                break;
            }
            const std::int32_t echantillon1 = Echantillon(ports_.inw(voies.voie1));
            if (passe > 0) {
                Ajouter(somme1, echantillon1);
                Ajouter(somme2, Echantillon(ports_.inw(voies.voie2)));
            }
            ports_.outb(voies.voie1, kDebutConversion);
            ports_.outb(voies.voie2, kDebutConversion);
        }
        // Port 0x61 is left as it is: channel 2 keeps running, speaker off.
    }

    if (horlogeMuette) {
        return Echec{kMessageHorlogeMuette, kCodeHorlogeMuette};
    }
    return LectureTensions{frequenceTimer, TensionMoyenne(somme1, nombre), TensionMoyenne(somme2, nombre)};
}
