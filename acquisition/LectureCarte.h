#pragma once
// The card's timed, averaged read of channels 1 and 2, paced port by port
// through the PC's programmable interval timer, over a PortIo: the simulated
// card (acquisition/SimulatedCard.h) or the real ports (acquisition/RealPorts.h).
//
// Timer channel 2 is programmed for the divisor of the rate asked and gated
// on; then N + 1 passes each wait for a rising edge of its output (port 0x61
// bit 5), read the conversions started one period earlier and start the
// next ones. Processor interrupts are suspended (for the real ports: the
// thread runs with real-time priority) from the timer's programming to the
// last pass, and given back however the read ends.
//
// The card's own wiring lives here too: its port map (converter channels and
// 8255 from the card's I/O base) and the 8255's control word, which the card
// component sets through this class when its source is the card.
#include "acquisition/LecteurTensions.h"
#include "acquisition/PortIo.h"

#include <cstdint>
#include <memory>
#include <string>

// The PC's timer as the card's read uses it: channel 2 counts down from a
// 16-bit divisor of its 1 193 200 Hz clock.
namespace Temporisateur {
inline constexpr std::int32_t kHorloge = 1193200; // Hz

struct Diviseur {
    std::uint16_t valeur = 0;
    bool accepte = false; // false: the rate asked is beyond the timer's, `valeur` is the nearest it has
};

// trunc(1 193 200 / frequence). A frequency of zero is a division by zero
// (raised); negative, NaN or above 596 600 Hz gives a divisor below 2, which
// becomes 2; below about 18.2 Hz the divisor does not fit 16 bits and
// becomes 65 535.
Diviseur DiviseurPour(double frequence);

// The rate the timer runs at with `diviseur`.
inline double Frequence(std::uint16_t diviseur)
{
    return static_cast<double>(kHorloge) / diviseur;
}
} // namespace Temporisateur

// The card's ports from its I/O base: converter channels at +0 and +2, the
// 8255's ports A, B, C at +0xC..+0xE and its control port at +0xF.
struct PlanDesPorts {
    std::uint16_t voie1 = kBaseCarte + 0x0;
    std::uint16_t voie2 = kBaseCarte + 0x2;
    std::uint16_t a = kBaseCarte + 0xC;
    std::uint16_t b = kBaseCarte + 0xD;
    std::uint16_t c = kBaseCarte + 0xE;
    std::uint16_t controle = kBaseCarte + 0xF;

    static constexpr PlanDesPorts PourBase(std::uint16_t base)
    {
        return {static_cast<std::uint16_t>(base + 0x0), static_cast<std::uint16_t>(base + 0x2),
                static_cast<std::uint16_t>(base + 0xC), static_cast<std::uint16_t>(base + 0xD),
                static_cast<std::uint16_t>(base + 0xE), static_cast<std::uint16_t>(base + 0xF)};
    }
};

class LectureCarte final : public LecteurTensions {
public:
    // The status code of a read whose timer never toggles.
    static constexpr std::int32_t kCodeHorlogeMuette = 6;
    static constexpr const char* kMessageHorlogeMuette =
        "L'horloge d'échantillonnage ne répond pas (port 0x61) : mesure abandonnée";

    // Reads through `ports`, which must outlive it; the caption says
    // `description` of it.
    explicit LectureCarte(PortIo& ports, std::string description = {});
    // The same, owning its ports.
    LectureCarte(std::unique_ptr<PortIo> ports, std::string description);

    // The timer's read of the channels at the port map's addresses. Fails
    // with kCodeHorlogeMuette when the timer never toggles.
    Issue<LectureTensions> Lire(std::int32_t nombre, double frequence) override;
    // The timer's rate for `frequence` (Temporisateur::DiviseurPour).
    Cadence CadencePour(double frequence) const override;
    std::string Description() const override { return description_; }

    // The card's base moved: later reads and control words go to the ports
    // of `plan`. The control word is not sent again.
    void Placer(const PlanDesPorts& plan) { plan_ = plan; }
    const PlanDesPorts& Plan() const { return plan_; }
    // Writes the 8255's control word `mot` to the card's control port.
    void EcrireControle(std::uint8_t mot);

private:
    std::unique_ptr<PortIo> proprietaire_;
    PortIo& ports_;
    std::string description_;
    PlanDesPorts plan_;
};
