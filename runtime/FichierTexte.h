#pragma once
// The measurement files on disk: creation of the output folder, creation of a
// new file that never shows under its name half written, safe replacement of
// an existing one, and the translation of the
// system's error numbers into the framework's input/output error codes.
//
// Every failure to create, write or close a file throws EInOutError with the
// code of CodeErreurES:
//   ENOENT, ENOTDIR, ENAMETOOLONG, ELOOP, EINVAL, EILSEQ  -> 3   "Nom de fichier incorrect"
//   EACCES, EPERM, EROFS, EISDIR                          -> 5   "Accès au fichier refusé"
//   EMFILE, ENFILE                                        -> 4   "Trop de fichiers ouverts"
//   ENOSPC, EDQUOT, EFBIG                                 -> 112 "Erreur E/S 112" (disk full)
//   ETXTBSY, EBUSY                                        -> 32  "Erreur E/S 32"  (file in use)
//   any other (EIO, ...)                                  -> 29  "Erreur E/S 29"  (write fault)
// The numbers 3, 4, 5, 32, 112 and 29 are the codes the same failures have on
// the system the file format comes from, so a message reads the same there
// and here.
#include <string>
#include <string_view>

#include <sys/types.h>

namespace FichierTexte {

inline constexpr int kNomIncorrect = 3;
inline constexpr int kTropDeFichiers = 4;
inline constexpr int kAccesRefuse = 5;
inline constexpr int kErreurEcriture = 29;
inline constexpr int kFichierOccupe = 32;
inline constexpr int kDisquePlein = 112;

// The framework's input/output error code for the system error number `errnum`.
int CodeErreurES(int errnum);

// Whether `nom` names a folder (symbolic links followed).
bool EstDossier(const std::string& nom);

// Whether `nom` names an existing entry that is not a folder (symbolic links
// followed): a file, or a device such as /dev/full.
bool EstFichier(const std::string& nom);

// Creates the folder `dossier` together with every missing folder above it,
// from the top down. A level that cannot be created is passed over without an
// error (a later file creation inside it reports the failure). Returns whether
// the last level, `dossier` itself, was created by this call.
bool CreerDossiers(const std::string& dossier);

// What Remplacer does with a symbolic link standing at the given name.
enum class Lien {
    Suivi,   // the file it points to is replaced, the link stays
    Remplace // the link itself is replaced by the new file; its target is never touched
};

// A new file, written completely and flushed to the disk before it gets a
// name, and given a name only where none exists: no name ever shows an
// empty or partial file, and an existing file is never replaced.
//
// The file is created without a name in its folder (O_TMPFILE), so that
// nothing of it remains if the program is killed or the machine loses power
// before it is named; naming links it in (linkat), which fails where the
// name appeared meanwhile. A file system without unnamed files has the file
// written under a hidden temporary name (".<name>.<pid>-<n>.tmp"), then
// renamed without replacing (renameat2 RENAME_NOREPLACE, or link then
// unlink). The folder is flushed once the file has its name.
class NouveauFichier {
public:
    // Writes `contenu` to a new file of the folder of `nomPrevu` (the name
    // it is meant to have: the fallback's temporary name is built from it).
    // Throws EInOutError; nothing remains of the file then.
    NouveauFichier(const std::string& nomPrevu, std::string_view contenu);
    ~NouveauFichier(); // removes the file if it was never named
    NouveauFichier(const NouveauFichier&) = delete;
    NouveauFichier& operator=(const NouveauFichier&) = delete;

    // Gives the file the name `nom`, in the same folder. Returns false,
    // touching nothing, when an entry of that name exists (a file, a folder
    // or a link): the file then waits for another name. Throws EInOutError
    // for any other failure.
    bool Nommer(const std::string& nom);
    // Gives the file the name `nom`, in the same folder, in place of any
    // file of that name: a reader sees the earlier content or this one,
    // whole, never a mixture. Throws EInOutError.
    void NommerEnRemplacant(const std::string& nom);

private:
    friend void Remplacer(const std::string& nom, std::string_view contenu, Lien lien);

    NouveauFichier() = default;
    int Ouvrir(const std::string& nomPrevu, mode_t mode);
    void Ecrire(std::string_view contenu);
    void Synchroniser();
    void Conclure(const std::string& nom);
    void Abandonner(); // closes the file and removes its temporary name

    int fd_ = -1;
    std::string nomTemporaire_; // the fallback's name, or a named stage of an unnamed file
};

// Creates the file `nom`, which must not exist yet, with the content
// `contenu` (a NouveauFichier named `nom`). Returns false, having left
// nothing, when an entry of that name already exists; throws EInOutError for
// any other failure, leaving no file.
bool CreerNouveau(const std::string& nom, std::string_view contenu);

// Gives the file `nom` the content `contenu`, creating it if it does not
// exist. An existing file is replaced only once the new content has been
// written and flushed completely: the content goes to a new file of the same
// folder (unnamed where the file system allows, as NouveauFichier), which is
// then renamed over `nom`. On any failure the earlier file is left exactly
// as it was, the new file is removed, and EInOutError is thrown.
// - An existing file must be writable: a file without any write permission
//   bit counts as read-only for every user, including the superuser
//   (code 5), and so does a file the system refuses to open for writing.
// - The replacement keeps the permission bits (and, where allowed, the owner
//   and group) of the earlier file; a new file gets the usual permissions of
//   a newly created file (0666 less the process's umask).
// - A symbolic link is followed or replaced, as `lien` says.
// - An existing entry that is not a regular file (a device such as /dev/full)
//   is written directly, as there is no earlier content to protect and a
//   rename would replace the device itself. A folder gives code 5.
// - A writable file in a folder where no file may be created for lack of
//   permission (EACCES, EPERM, EROFS on the folder) is written in place: the
//   one case that is not atomic, where a failure part-way leaves the file
//   cut short. Never through a link (O_NOFOLLOW).
void Remplacer(const std::string& nom, std::string_view contenu, Lien lien);

} // namespace FichierTexte
