#pragma once
// Where the voltages of channels 1 and 2 come from, as the card component
// (TDravoC) sees it: the component makes its argument and status checks,
// then asks its source for one timed, averaged reading. Sources:
//   - the card's own read, paced port by port through the PC's timer
//     (acquisition/LectureCarte.h), over the simulated card or the real ports;
//   - the USB measuring box (acquisition/boitier/BoitierUsb.h), which makes
//     the reading by itself.
// A new source is one more class implementing this interface.
#include "runtime/Exceptions.h"

#include <cstdint>
#include <string>

struct LectureTensions {
    double frequence = 0;    // Hz, the rate the source actually used
    double tensionVoie1 = 0; // V, mean of channel 1
    double tensionVoie2 = 0; // V, mean of channel 2
};

// The ports of the card's converter channels, as the component's port map
// gives them at the time of the reading. A source with no card on ports has
// no use for them.
struct VoiesCarte {
    std::uint16_t voie1 = 0;
    std::uint16_t voie2 = 0;
};

// A reading the source could not give: the French message the user sees and
// the status code (CodeErreur) the component reports with it.
class ELectureEchouee : public ELectureImpossible {
public:
    ELectureEchouee(std::int32_t code, std::string message) : ELectureImpossible(std::move(message)), code_(code) {}
    std::int32_t Code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

class LecteurTensions {
public:
    virtual ~LecteurTensions() = default;

    // Takes `nombre` (at least 1) samples of each channel at about
    // `frequence` Hz and returns their means. Raises ELectureEchouee when
    // the source cannot give the reading.
    virtual LectureTensions Lire(std::int32_t nombre, double frequence, const VoiesCarte& voies) = 0;

    // Writes the 8255's control word `mot` to the card's control port
    // `port`. A source with no 8255 (the USB box) has nothing to configure.
    virtual void EcrireControle(std::uint16_t port, std::uint8_t mot) = 0;

    // What the main window's caption says of the source after its own text:
    // "carte simulée", so that the demonstration curve is never taken for a
    // measurement; "boîtier USB, capteur MPX5700AP" for the box; nothing for
    // the real card.
    virtual std::string Description() const = 0;
};
