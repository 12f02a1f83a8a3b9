#pragma once
// Where the voltages of channels 1 and 2 come from, as the card component
// (TDravoC) sees it: a source reads n samples of each channel at about f Hz
// and gives their means, says which rates it has, and says what it is.
// Sources:
//   - the card's own read, paced port by port through the PC's timer
//     (acquisition/LectureCarte.h), over the simulated card or the real ports;
//   - the USB measuring box (acquisition/boitier/BoitierUsb.h), which makes
//     the reading by itself.
// A new source is one more class implementing this interface, and one more
// line where the source is chosen (acquisition/PortSelection.cpp).
#include "runtime/Issue.h"

#include <cstdint>
#include <string>

struct LectureTensions {
    double frequence = 0;    // Hz, the rate the source actually used
    double tensionVoie1 = 0; // V, mean of channel 1
    double tensionVoie2 = 0; // V, mean of channel 2
};

// The rate a source would read at when asked for a frequency.
struct Cadence {
    double frequence = 0;  // Hz, the nearest rate the source has
    bool acceptee = false; // false: the rate asked is beyond the source's
};

class LecteurTensions {
public:
    virtual ~LecteurTensions() = default;

    // Takes `nombre` (at least 1) samples of each channel at about
    // `frequence` Hz and gives their means, or, when the source cannot give
    // the reading, the French message the user sees with its status code
    // (CodeErreur).
    virtual Issue<LectureTensions> Lire(std::int32_t nombre, double frequence) = 0;

    // The rate a reading asked at `frequence` would use. A frequency of zero
    // may raise EZeroDivide, as a division by it does.
    virtual Cadence CadencePour(double frequence) const = 0;

    // What the source is, as the main window's caption, the run journal and
    // the report say it: "carte simulée", so that the demonstration curve is
    // never taken for a measurement; "boîtier USB, capteur MPX5700AP" for the
    // box; nothing for the real card.
    virtual std::string Description() const = 0;
};
