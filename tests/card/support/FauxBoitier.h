#pragma once
// A measuring box played by the test, on the master side of a
// pseudo-terminal: the program's side opens the slave's path as it would a
// USB serial port. A thread answers each line received with what the
// test's script returns for it; the test can also send lines of its own
// (an announcement after a reset, noise) and pull the plug (close the
// master, as an unplugged USB device hangs up its terminal).
#include <atomic>
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

    // A box that answers "ID" and measures with constant sums.
    static Script Normal(const std::string& capteur, int somme0ParEchantillon, int somme1ParEchantillon);

private:
    void Boucle();

    Script script_;
    int maitre_ = -1;
    int esclave_ = -1;
    std::string chemin_;
    std::atomic<bool> arret_{false};
    std::mutex mutex_;
    std::vector<std::string> recues_;
    std::thread fil_;
};
