#pragma once
// A measuring box played by the test, on the master side of a
// pseudo-terminal: the program's side opens the slave's path as it would a
// USB serial port. A thread answers each line received with what the
// test's script returns for it; the test can also send lines of its own
// (an announcement after a reset, noise) and pull the plug (close the
// master, as an unplugged USB device hangs up its terminal).
#include "acquisition/Clocks.h"

#include <atomic>
#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FauxBoitier {
public:
    // The bytes to send back for a line received ("" sends nothing).
    using Script = std::function<std::string(const std::string& ligne)>;

    explicit FauxBoitier(Script script);
    ~FauxBoitier();
    FauxBoitier(const FauxBoitier&) = delete;
    FauxBoitier& operator=(const FauxBoitier&) = delete;

    const std::string& Chemin() const { return chemin_; }
    void Envoyer(const std::string& octets);
    void Debrancher();
    std::vector<std::string> Recues();

    // A virtual clock for the program's side of this box: each wait on the
    // line first lets the box read and answer all it was sent
    // (Synchroniser), then moves to the wait's deadline. A box that answers
    // is heard; one that says nothing times out at once, without the wall
    // clock's time passing.
    Clock& Horloge() { return horloge_; }
    // Returns once the box has read everything sent to it and sent its answers.
    void Synchroniser();

    // A box that answers "ID" and measures with constant sums.
    static Script Normal(const std::string& capteur, int somme0ParEchantillon, int somme1ParEchantillon);

private:
    class HorlogeSynchronisee final : public Clock {
    public:
        explicit HorlogeSynchronisee(FauxBoitier& boitier) : boitier_(boitier) {}
        std::chrono::nanoseconds Now() override { return maintenant_; }
        std::chrono::nanoseconds OnWait(std::chrono::nanoseconds reste) override
        {
            boitier_.Synchroniser();
            maintenant_ += std::max(reste, std::chrono::nanoseconds(0));
            return std::chrono::nanoseconds(0);
        }

    private:
        FauxBoitier& boitier_;
        std::chrono::nanoseconds maintenant_{0};
    };

    void Boucle();

    Script script_;
    int maitre_ = -1;
    int esclave_ = -1;
    std::string chemin_;
    std::atomic<bool> arret_{false};
    std::mutex mutex_;
    std::mutex lot_; // held while the box reads what came and answers it
    HorlogeSynchronisee horloge_{*this};
    std::vector<std::string> recues_;
    std::thread fil_;
};
