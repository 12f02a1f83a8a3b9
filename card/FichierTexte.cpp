#include "card/FichierTexte.h"

#include "runtime/Exceptions.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FichierTexte {

namespace {

// Temporary names tried in one folder before giving up (each try that finds
// the name taken moves to the next).
constexpr int kEssaisNomTemporaire = 100;
// Characters of the target's name kept in the temporary name, so that the
// latter stays within the file system's name length.
constexpr std::size_t kLongueurBaseTemporaire = 100;

[[noreturn]] void Echec(int errnum)
{
    throw EInOutError(CodeErreurES(errnum));
}

// Writes every byte, going on after partial writes and interruptions.
// Returns 0, or the error number of the failed write.
int EcrireTout(int fd, std::string_view contenu)
{
    std::size_t ecrits = 0;
    while (ecrits < contenu.size()) {
        const ssize_t n = ::write(fd, contenu.data() + ecrits, contenu.size() - ecrits);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        ecrits += static_cast<std::size_t>(n);
    }
    return 0;
}

// Writes `contenu` to the open `fd` and closes it. A failed write closes the
// file too, leaving what was written.
void EcrireEtFermer(int fd, std::string_view contenu)
{
    if (const int erreur = EcrireTout(fd, contenu); erreur != 0) {
        ::close(fd);
        Echec(erreur);
    }
    if (::close(fd) != 0)
        Echec(errno);
}

// The name of the file that `nom` designates: the file a symbolic link points
// to, or `nom` itself.
std::string CibleDe(const std::string& nom)
{
    struct stat etat {};
    if (::lstat(nom.c_str(), &etat) != 0 || !S_ISLNK(etat.st_mode))
        return nom;
    std::error_code erreur;
    const auto cible = std::filesystem::canonical(nom, erreur);
    return erreur ? nom : cible.string();
}

// Removes the temporary file when the replacement did not complete.
class FichierTemporaire {
public:
    FichierTemporaire(std::string nom, int fd) : nom_(std::move(nom)), fd_(fd) {}
    ~FichierTemporaire()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!nom_.empty())
            ::unlink(nom_.c_str());
    }
    FichierTemporaire(const FichierTemporaire&) = delete;
    FichierTemporaire& operator=(const FichierTemporaire&) = delete;

    int Descripteur() const { return fd_; }
    const std::string& Nom() const { return nom_; }

    // Closes the file; returns 0 or the error number of the close.
    int Fermer()
    {
        const int resultat = ::close(fd_);
        fd_ = -1;
        return resultat == 0 ? 0 : errno;
    }
    // The file now has its final name: nothing to remove any more.
    void Abandonner() { nom_.clear(); }

private:
    std::string nom_;
    int fd_;
};

// Creates a new temporary file in the folder of `cible`, with `mode` (less
// the umask).
FichierTemporaire CreerTemporaire(const std::string& cible, mode_t mode)
{
    const auto barre = cible.rfind('/');
    const std::string dossier = barre == std::string::npos ? std::string() : cible.substr(0, barre + 1);
    const std::string base = barre == std::string::npos ? cible : cible.substr(barre + 1);
    const std::string prefixe =
        dossier + "." + base.substr(0, kLongueurBaseTemporaire) + "." + std::to_string(::getpid()) + "-";
    for (int essai = 0;; ++essai) {
        std::string nom = prefixe + std::to_string(essai) + ".tmp";
        const int fd = ::open(nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd >= 0)
            return FichierTemporaire(std::move(nom), fd);
        if (errno != EEXIST || essai + 1 == kEssaisNomTemporaire)
            Echec(errno);
    }
}

// Makes the new file's data reach the disk's folder entry too (best effort:
// the file itself was flushed already).
void SynchroniserDossierDe(const std::string& cible)
{
    const auto barre = cible.rfind('/');
    const std::string dossier = barre == std::string::npos ? "." : barre == 0 ? "/" : cible.substr(0, barre);
    const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

int CodeErreurES(int errnum)
{
    switch (errnum) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: // a name the file system refuses (a character it cannot hold)
    case EILSEQ:
        return kNomIncorrect;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return kAccesRefuse;
    case EMFILE:
    case ENFILE:
        return kTropDeFichiers;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // the file cannot grow any further: the same as a full disk for the user
        return kDisquePlein;
    case ETXTBSY:
    case EBUSY:
        return kFichierOccupe;
    default:
        return kErreurEcriture;
    }
}

bool EstDossier(const std::string& nom)
{
    struct stat etat {};
    return ::stat(nom.c_str(), &etat) == 0 && S_ISDIR(etat.st_mode);
}

bool EstFichier(const std::string& nom)
{
    struct stat etat {};
    return ::stat(nom.c_str(), &etat) == 0 && !S_ISDIR(etat.st_mode);
}

bool CreerDossiers(const std::string& dossier)
{
    bool dernierCree = false;
    std::size_t debut = 0;
    while (debut < dossier.size()) {
        std::size_t fin = dossier.find('/', debut);
        if (fin == std::string::npos)
            fin = dossier.size();
        if (fin > debut) { // skip the empty component before "/" and doubled slashes
            const std::string niveau = dossier.substr(0, fin);
            dernierCree = !EstDossier(niveau) && ::mkdir(niveau.c_str(), 0777) == 0;
        }
        debut = fin + 1;
    }
    return dernierCree;
}

bool CreerNouveau(const std::string& nom, std::string_view contenu)
{
    const int fd = ::open(nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        Echec(errno);
    }
    EcrireEtFermer(fd, contenu);
    return true;
}

void Remplacer(const std::string& nom, std::string_view contenu)
{
    const std::string cible = CibleDe(nom);
    struct stat etat {};
    const bool existe = ::stat(cible.c_str(), &etat) == 0;
    if (!existe && errno != ENOENT)
        Echec(errno);

    if (existe) {
        if (S_ISDIR(etat.st_mode))
            Echec(EISDIR);
        // A file without any write bit is read-only for everybody: the
        // superuser, whom the system lets write anything, is refused too.
        if (S_ISREG(etat.st_mode) && (etat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            Echec(EACCES);
        // The system's own verdict: permissions, read-only mount, a program
        // running from the file (ETXTBSY). Nothing is changed by this opening.
        // O_NONBLOCK keeps a pipe without reader from blocking here.
        const int essai = ::open(cible.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (essai < 0)
            Echec(errno);
        ::close(essai);

        if (!S_ISREG(etat.st_mode)) {
            const int fd = ::open(cible.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            if (fd < 0)
                Echec(errno);
            EcrireEtFermer(fd, contenu);
            return;
        }
    }

    FichierTemporaire temporaire = CreerTemporaire(cible, existe ? 0600 : 0666);
    const int fd = temporaire.Descripteur();
    if (const int erreur = EcrireTout(fd, contenu); erreur != 0)
        Echec(erreur);
    if (existe) {
        if (etat.st_uid != ::geteuid() || etat.st_gid != ::getegid()) {
            if (::fchown(fd, etat.st_uid, etat.st_gid) != 0) {
                // Not allowed to give the file away: it keeps our owner.
            }
        }
        if (::fchmod(fd, etat.st_mode & 0777) != 0)
            Echec(errno);
    }
    // Flushed to the disk before it takes the place of the earlier file. A
    // file system without synchronisation (EINVAL) has nothing to flush.
    if (::fsync(fd) != 0 && errno != EINVAL)
        Echec(errno);
    if (const int erreur = temporaire.Fermer(); erreur != 0)
        Echec(erreur);
    if (::rename(temporaire.Nom().c_str(), cible.c_str()) != 0)
        Echec(errno);
    temporaire.Abandonner();
    SynchroniserDossierDe(cible);
}

} // namespace FichierTexte
