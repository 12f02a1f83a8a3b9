#pragma once
// A device that makes the driver's timed, averaged reading of channels 1 and
// 2 by itself and hands back the result, instead of being paced port by port
// by the driver: the USB measuring box (card/BoitierUsb.h). The driver reaches
// it through PortIo::Lecteur() and keeps, in front of it, the argument and
// status checks it makes for the card.
#include <cstdint>

struct LectureTensions {
    double frequence = 0;    // Hz, the rate the device actually used
    double tensionVoie1 = 0; // V, mean of channel 1
    double tensionVoie2 = 0; // V, mean of channel 2
};

class LecteurTensions {
public:
    virtual ~LecteurTensions() = default;

    // Takes `nombre` samples of each channel at about `frequence` Hz and
    // returns their means. Raises ELectureImpossible, with the French message
    // the user sees, when the device cannot give the reading.
    virtual LectureTensions Lire(std::int32_t nombre, double frequence) = 0;
};
