#pragma once
// A serial line through POSIX termios: raw 8N1 at 38 400 baud, non-blocking,
// read line by line with poll() and a deadline on an injected clock
// (acquisition/Clocks.h). Used for the USB measuring
// box (acquisition/boitier/BoitierUsb.h); works the same on a pseudo-terminal, which the
// tests and the firmware's simulator use in place of the USB device.
//
// Opening a USB serial port raises DTR, which resets an Arduino Uno or Nano:
// the caller waits for the box to announce itself. The port is closed (and
// DTR dropped) by the destructor only.
#include "acquisition/Clocks.h"
#include "runtime/Issue.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class LiaisonSerie {
public:
    // A deadline: a time on the line's clock.
    using Echeance = std::chrono::nanoseconds;
    static constexpr unsigned kDebit = 38400; // baud

    // Opens and configures `chemin`, timing its waits on `horloge`, which
    // must outlive it. A failure carries the errno value as its code (ENOTTY
    // when the file is not a terminal), for the caller's own message.
    static Issue<std::unique_ptr<LiaisonSerie>> Ouvrir(const std::string& chemin, Clock& horloge);

    ~LiaisonSerie();
    LiaisonSerie(const LiaisonSerie&) = delete;
    LiaisonSerie& operator=(const LiaisonSerie&) = delete;

    enum class Etat { Ligne, Delai, Fermee };

    // Sends `texte` whole before `echeance`. Returns false when the device
    // has gone (unplugged, the other end of a pseudo-terminal closed) or did
    // not take the bytes in time.
    bool Ecrire(std::string_view texte, Echeance echeance);

    // The next line received, without its "\n" and with every "\r" removed:
    // Ligne when one is complete before `echeance`, Delai when none is,
    // Fermee when the device has gone.
    Etat LireLigne(std::string& ligne, Echeance echeance);

    // Takes the complete lines already received out of the input and returns
    // them. A line still arriving stays, to be read whole: cut, its end
    // would pass for a line of its own. Fermee is not reported here; the
    // next read or write sees it.
    std::vector<std::string> Vider();

private:
    LiaisonSerie(int fd, Clock& horloge) : fd_(fd), horloge_(horloge) {}
    // The poll() timeout, in milliseconds, for a wait until `echeance`.
    int Restant(Echeance echeance);
    // Reads what the device holds now into the buffer; false when it has gone.
    bool Recevoir();
    bool ExtraireLigne(std::string& ligne);

    // A line longer than this is noise: its start is dropped.
    static constexpr std::size_t kTamponMax = 512;

    int fd_;
    Clock& horloge_;
    std::string tampon_;
};
