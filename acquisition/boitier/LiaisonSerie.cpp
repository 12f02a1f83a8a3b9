#include "acquisition/boitier/LiaisonSerie.h"

#include <cstring>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool Configurer(int fd)
{
    termios mode{};
    if (tcgetattr(fd, &mode) != 0)
        return false;
    cfmakeraw(&mode);
    mode.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    mode.c_cflag |= CS8 | CREAD | CLOCAL | HUPCL;
    mode.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // VMIN 1: with no byte waiting, a non-blocking read fails with EAGAIN;
    // with VMIN 0 it would return 0, which must mean a hung-up line.
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    if (cfsetispeed(&mode, B38400) != 0 || cfsetospeed(&mode, B38400) != 0)
        return false;
    if (tcsetattr(fd, TCSANOW, &mode) != 0)
        return false;
    // What arrived before the line was set up is not to be trusted.
    tcflush(fd, TCIFLUSH);
    return true;
}

} // namespace

// Milliseconds the wait until `echeance` may block, for poll(), never
// negative.
int LiaisonSerie::Restant(Echeance echeance)
{
    using namespace std::chrono;
    const auto reste = ceil<milliseconds>(horloge_.OnWait(echeance - horloge_.Now())).count();
    return static_cast<int>(std::clamp<long long>(reste, 0, 60'000));
}

Issue<std::unique_ptr<LiaisonSerie>> LiaisonSerie::Ouvrir(const std::string& chemin, Clock& horloge)
{
    const auto echec = [](int erreur) { return Echec{std::strerror(erreur), erreur}; };
    const int fd = ::open(chemin.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return echec(errno);
    if (!isatty(fd) || !Configurer(fd)) {
        const int erreur = isatty(fd) ? errno : ENOTTY;
        ::close(fd);
        return echec(erreur);
    }
    return std::unique_ptr<LiaisonSerie>(new LiaisonSerie(fd, horloge));
}

LiaisonSerie::~LiaisonSerie()
{
    ::close(fd_);
}

bool LiaisonSerie::Ecrire(std::string_view texte, Echeance echeance)
{
    while (!texte.empty()) {
        const ssize_t ecrits = ::write(fd_, texte.data(), texte.size());
        if (ecrits > 0) {
            texte.remove_prefix(static_cast<std::size_t>(ecrits));
            continue;
        }
        if (ecrits < 0 && errno == EINTR)
            continue;
        if (ecrits < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd attente{fd_, POLLOUT, 0};
        const int pret = ::poll(&attente, 1, Restant(echeance));
        if (pret == 0 || (pret > 0 && (attente.revents & (POLLHUP | POLLERR | POLLNVAL))))
            return false;
    }
    return true;
}

bool LiaisonSerie::Recevoir()
{
    char octets[256];
    for (;;) {
        const ssize_t lus = ::read(fd_, octets, sizeof octets);
        if (lus > 0) {
            tampon_.append(octets, static_cast<std::size_t>(lus));
            if (tampon_.size() > kTamponMax)
                tampon_.erase(0, tampon_.size() - kTamponMax);
            continue;
        }
        if (lus < 0 && errno == EINTR)
            continue;
        // A hung-up terminal reads as end of file (or EIO); nothing more
        // to read now is EAGAIN.
        return lus < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

bool LiaisonSerie::ExtraireLigne(std::string& ligne)
{
    const std::size_t fin = tampon_.find('\n');
    if (fin == std::string::npos)
        return false;
    ligne.assign(tampon_, 0, fin);
    tampon_.erase(0, fin + 1);
    std::erase(ligne, '\r');
    return true;
}

LiaisonSerie::Etat LiaisonSerie::LireLigne(std::string& ligne, Echeance echeance)
{
    for (;;) {
        if (ExtraireLigne(ligne))
            return Etat::Ligne;
        pollfd attente{fd_, POLLIN, 0};
        const int pret = ::poll(&attente, 1, Restant(echeance));
        if (pret < 0 && errno == EINTR)
            continue;
        if (pret < 0)
            return Etat::Fermee;
        if (pret == 0 && horloge_.Now() >= echeance)
            return Etat::Delai;
        if (pret == 0)
            continue;
        // Data still waiting is read even when the device hung up after
        // sending it.
        if (!Recevoir()) {
            return ExtraireLigne(ligne) ? Etat::Ligne : Etat::Fermee;
        }
        if (attente.revents & (POLLHUP | POLLERR | POLLNVAL))
            return ExtraireLigne(ligne) ? Etat::Ligne : Etat::Fermee;
    }
}

std::vector<std::string> LiaisonSerie::Vider()
{
    Recevoir();
    std::vector<std::string> lignes;
    std::string ligne;
    while (ExtraireLigne(ligne))
        lignes.push_back(ligne);
    return lignes;
}
