#pragma once
// The box's real firmware on the simulated microcontroller (nelvar-box-sim,
// a child process): its serial line is a pseudo-terminal the program's side
// opens; the test sets the inputs, resets and unplugs the box through the
// simulator's control lines.
#include <cstdio>
#include <string>

#include <sys/types.h>

class BoitierSimule {
public:
    // The simulator at `programme`, with the firmware for `capteur` and A0
    // held at `a0mV` millivolts.
    BoitierSimule(const std::string& programme, const std::string& capteur, int a0mV);
    ~BoitierSimule();
    BoitierSimule(const BoitierSimule&) = delete;
    BoitierSimule& operator=(const BoitierSimule&) = delete;

    const std::string& Chemin() const { return chemin_; }
    // Sends a control line ("a0 2500", "reset", "stall 100000"); true on "ok".
    bool Commande(const std::string& ligne);
    // Ends the simulator: its end of the terminal closes, as an unplugged box's.
    void Debrancher();

private:
    pid_t pid_ = -1;
    std::FILE* entree_ = nullptr; // the simulator's stdin
    std::FILE* sortie_ = nullptr; // its stdout
    std::string chemin_;
};
