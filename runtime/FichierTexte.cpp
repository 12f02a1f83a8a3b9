#include "runtime/FichierTexte.h"

#include "runtime/Exceptions.h"

#include <cerrno>
#include <cstdio>
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

// Flushes the file to the disk. A file system without synchronisation
// (EINVAL) has nothing to flush.
void SynchroniserFichier(int fd)
{
    if (::fsync(fd) != 0 && errno != EINVAL)
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

// The folder part of `nom`: "." for a bare name, "/" for a name at the root.
std::string DossierDe(const std::string& nom)
{
    const auto barre = nom.rfind('/');
    return barre == std::string::npos ? "." : barre == 0 ? "/" : nom.substr(0, barre);
}

// A hidden temporary name beside `cible`, the `essai`-th of this process.
std::string NomTemporaire(const std::string& cible, int essai)
{
    const auto barre = cible.rfind('/');
    const std::string dossier = barre == std::string::npos ? std::string() : cible.substr(0, barre + 1);
    const std::string base = barre == std::string::npos ? cible : cible.substr(barre + 1);
    return dossier + "." + base.substr(0, kLongueurBaseTemporaire) + "." + std::to_string(::getpid()) + "-" +
           std::to_string(essai) + ".tmp";
}

// The answers of open(O_TMPFILE) where the file system or the kernel has no
// unnamed files.
bool SansFichierSansNom(int errnum)
{
    return errnum == EOPNOTSUPP || errnum == EISDIR || errnum == EINVAL;
}

// The answers of a folder in which this user may not create a file.
bool DossierInterdit(int errnum)
{
    return errnum == EACCES || errnum == EPERM || errnum == EROFS;
}

// Gives the unnamed file open as `fd` the name `nom`. Through /proc, which
// needs no privilege; without /proc, with AT_EMPTY_PATH, which needs
// CAP_DAC_READ_SEARCH on older kernels. Returns 0 or the error number.
int LierFichierSansNom(int fd, const std::string& nom)
{
    const std::string chemin = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, chemin.c_str(), AT_FDCWD, nom.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0)
        return errno;
    return ::linkat(fd, "", AT_FDCWD, nom.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// Renames `ancien` to `nom` unless `nom` exists. Where the file system does
// not know RENAME_NOREPLACE (EINVAL), a hard link does the same, and the
// old name is then removed. Returns 0 or the error number.
int RenommerSansRemplacer(const std::string& ancien, const std::string& nom)
{
    if (::renameat2(AT_FDCWD, ancien.c_str(), AT_FDCWD, nom.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    if (::link(ancien.c_str(), nom.c_str()) != 0)
        return errno;
    ::unlink(ancien.c_str());
    return 0;
}

// Makes the new name reach the disk too (best effort: the file itself was
// flushed already).
void SynchroniserDossierDe(const std::string& nom)
{
    const int fd = ::open(DossierDe(nom).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `contenu` over the regular file `cible` itself, never through a
// link: the one write that is not atomic.
void EcrireSurPlace(const std::string& cible, std::string_view contenu)
{
    const int fd = ::open(cible.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        Echec(errno);
    if (const int erreur = EcrireTout(fd, contenu); erreur != 0) {
        ::close(fd);
        Echec(erreur);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        const int erreur = errno;
        ::close(fd);
        Echec(erreur);
    }
    if (::close(fd) != 0)
        Echec(errno);
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

NouveauFichier::NouveauFichier(const std::string& nomPrevu, std::string_view contenu)
{
    if (const int erreur = Ouvrir(nomPrevu, 0666); erreur != 0)
        Echec(erreur);
    try {
        Ecrire(contenu);
        Synchroniser();
    } catch (...) {
        Abandonner(); // no destructor runs for an object whose construction failed
        throw;
    }
}

NouveauFichier::~NouveauFichier()
{
    Abandonner();
}

void NouveauFichier::Abandonner()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!nomTemporaire_.empty())
        ::unlink(nomTemporaire_.c_str());
    nomTemporaire_.clear();
}

int NouveauFichier::Ouvrir(const std::string& nomPrevu, mode_t mode)
{
    fd_ = ::open(DossierDe(nomPrevu).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ >= 0)
        return 0;
    if (!SansFichierSansNom(errno))
        return errno;
    for (int essai = 0;; ++essai) {
        std::string nom = NomTemporaire(nomPrevu, essai);
        fd_ = ::open(nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd_ >= 0) {
            nomTemporaire_ = std::move(nom);
            return 0;
        }
        if (errno != EEXIST || essai + 1 == kEssaisNomTemporaire)
            return errno;
    }
}

void NouveauFichier::Ecrire(std::string_view contenu)
{
    if (const int erreur = EcrireTout(fd_, contenu); erreur != 0)
        Echec(erreur);
}

void NouveauFichier::Synchroniser()
{
    SynchroniserFichier(fd_);
    // A temporary name is closed before its rename, so that a failure of the
    // close (a network file system's late write error) is still a failed
    // save. An unnamed file stays open until it is linked.
    if (!nomTemporaire_.empty()) {
        const int resultat = ::close(fd_);
        fd_ = -1;
        if (resultat != 0)
            Echec(errno);
    }
}

bool NouveauFichier::Nommer(const std::string& nom)
{
    const int erreur = nomTemporaire_.empty() ? LierFichierSansNom(fd_, nom) : RenommerSansRemplacer(nomTemporaire_, nom);
    if (erreur == EEXIST)
        return false;
    if (erreur != 0)
        Echec(erreur);
    Conclure(nom);
    return true;
}

void NouveauFichier::NommerEnRemplacant(const std::string& cible)
{
    // An unnamed file cannot replace a name directly: it gets a temporary
    // name first, for the two system calls until the rename.
    for (int essai = 0; nomTemporaire_.empty(); ++essai) {
        std::string nom = NomTemporaire(cible, essai);
        const int erreur = LierFichierSansNom(fd_, nom);
        if (erreur == 0)
            nomTemporaire_ = std::move(nom);
        else if (erreur != EEXIST || essai + 1 == kEssaisNomTemporaire)
            Echec(erreur);
    }
    if (::rename(nomTemporaire_.c_str(), cible.c_str()) != 0)
        Echec(errno);
    Conclure(cible);
}

void NouveauFichier::Conclure(const std::string& nom)
{
    nomTemporaire_.clear();
    // The content was flushed before the file was named: a failed close
    // changes nothing of it any more.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    SynchroniserDossierDe(nom);
}

bool CreerNouveau(const std::string& nom, std::string_view contenu)
{
    NouveauFichier fichier(nom, contenu);
    return fichier.Nommer(nom);
}

void Remplacer(const std::string& nom, std::string_view contenu, Lien lien)
{
    const std::string cible = lien == Lien::Suivi ? CibleDe(nom) : nom;
    struct stat etat {};
    const bool existe = ::lstat(cible.c_str(), &etat) == 0;
    if (!existe && errno != ENOENT)
        Echec(errno);
    // A link here is one to be replaced, or one that leads nowhere: either
    // way the new file takes the link's place, as a new file.
    const bool fichierExistant = existe && S_ISREG(etat.st_mode);

    if (existe && !S_ISLNK(etat.st_mode)) {
        if (S_ISDIR(etat.st_mode))
            Echec(EISDIR);
        // A file without any write bit is read-only for everybody: the
        // superuser, whom the system lets write anything, is refused too.
        if (fichierExistant && (etat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            Echec(EACCES);
        // The system's own verdict: permissions, read-only mount, a program
        // running from the file (ETXTBSY). Nothing is changed by this opening.
        // O_NONBLOCK keeps a pipe without reader from blocking here.
        const int essai = ::open(cible.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (essai < 0)
            Echec(errno);
        ::close(essai);

        if (!fichierExistant) {
            const int fd = ::open(cible.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
            if (fd < 0)
                Echec(errno);
            EcrireEtFermer(fd, contenu);
            return;
        }
    }

    NouveauFichier fichier;
    if (const int erreur = fichier.Ouvrir(cible, fichierExistant ? 0600 : 0666); erreur != 0) {
        // The file may be written although no file may be created beside it.
        if (fichierExistant && DossierInterdit(erreur)) {
            EcrireSurPlace(cible, contenu);
            return;
        }
        Echec(erreur);
    }
    fichier.Ecrire(contenu);
    if (fichierExistant) {
        if (etat.st_uid != ::geteuid() || etat.st_gid != ::getegid()) {
            if (::fchown(fichier.fd_, etat.st_uid, etat.st_gid) != 0) {
                // Not allowed to give the file away: it keeps our owner.
            }
        }
        if (::fchmod(fichier.fd_, etat.st_mode & 0777) != 0)
            Echec(errno);
    }
    fichier.Synchroniser();
    fichier.NommerEnRemplacant(cible);
}

} // namespace FichierTexte
