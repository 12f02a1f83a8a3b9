#include "tests/acquisition/support/FauxBoitier.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

FauxBoitier::FauxBoitier(Script script) : script_(std::move(script))
{
    // Raw from the start: the slave must not echo what the box sends before
    // the program has opened it.
    termios mode{};
    cfmakeraw(&mode);
    char nom[128] = {};
    if (openpty(&maitre_, &esclave_, nom, &mode, nullptr) != 0)
        throw std::runtime_error("openpty");
    chemin_ = nom;
    fil_ = std::thread(&FauxBoitier::Boucle, this);
}

FauxBoitier::~FauxBoitier()
{
    Debrancher();
    ::close(esclave_);
}

void FauxBoitier::Envoyer(const std::string& octets)
{
    const std::lock_guard verrou(mutex_);
    if (maitre_ >= 0 && ::write(maitre_, octets.data(), octets.size()) != static_cast<ssize_t>(octets.size()))
        throw std::runtime_error("write to the pseudo-terminal");
}

void FauxBoitier::Debrancher()
{
    arret_ = true;
    if (fil_.joinable())
        fil_.join();
    const std::lock_guard verrou(mutex_);
    if (maitre_ >= 0)
        ::close(maitre_);
    maitre_ = -1;
}

std::vector<std::string> FauxBoitier::Recues()
{
    const std::lock_guard verrou(mutex_);
    return recues_;
}

void FauxBoitier::Boucle()
{
    std::string tampon;
    while (!arret_) {
        pollfd attente{maitre_, POLLIN, 0};
        if (::poll(&attente, 1, 10) <= 0 || !(attente.revents & POLLIN))
            continue;
        const std::lock_guard lot(lot_);
        char octets[256];
        const ssize_t lus = ::read(maitre_, octets, sizeof octets);
        if (lus <= 0)
            continue;
        tampon.append(octets, static_cast<std::size_t>(lus));
        for (std::size_t fin; (fin = tampon.find('\n')) != std::string::npos;) {
            const std::string ligne = tampon.substr(0, fin);
            tampon.erase(0, fin + 1);
            {
                const std::lock_guard verrou(mutex_);
                recues_.push_back(ligne);
            }
            const std::string reponse = script_(ligne);
            if (!reponse.empty())
                Envoyer(reponse);
        }
    }
}

void FauxBoitier::Synchroniser()
{
    // Nothing waiting to be read while the box is between two batches: all
    // it was sent is answered.
    for (;;) {
        {
            const std::lock_guard lot(lot_);
            pollfd attente{maitre_, POLLIN, 0};
            if (maitre_ < 0 || ::poll(&attente, 1, 0) <= 0 || !(attente.revents & POLLIN))
                return;
        }
        std::this_thread::yield();
    }
}

FauxBoitier::Script FauxBoitier::Normal(const std::string& capteur, int somme0ParEchantillon, int somme1ParEchantillon)
{
    return [=](const std::string& ligne) -> std::string {
        if (ligne == "ID")
            return "ID NELVAR-BOITIER 1 " + capteur + "\r\n";
        std::istringstream mots(ligne);
        std::string m;
        long n = 0;
        long f = 0;
        if (mots >> m >> n >> f && m == "M") {
            const long cycles = std::lround(16e6 / static_cast<double>(f));
            return "M " + std::to_string(n) + " " + std::to_string(cycles) + " " + std::to_string(n * somme0ParEchantillon)
                   + " " + std::to_string(n * somme1ParEchantillon) + "\n";
        }
        return "ERR 1 commande inconnue\n";
    };
}
