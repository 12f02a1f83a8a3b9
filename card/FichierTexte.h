#pragma once
// The measurement files on disk: creation of the output folder, creation of a
// new file, safe replacement of an existing one, and the translation of the
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

// Creates the file `nom`, which must not exist yet, and writes `contenu` into
// it. Returns false, having touched nothing, when an entry of that name
// already exists (a file, a folder or a link); throws EInOutError for any
// other failure. A write that fails part-way closes the file and leaves what
// was written in it.
bool CreerNouveau(const std::string& nom, std::string_view contenu);

// Gives the file `nom` the content `contenu`, creating it if it does not
// exist. An existing file is replaced only once the new content has been
// written, flushed and closed completely: the content goes to a temporary
// file of the same folder, which is then renamed over `nom`. On any failure
// the earlier file is left exactly as it was, the temporary file is removed,
// and EInOutError is thrown.
// - An existing file must be writable: a file without any write permission
//   bit counts as read-only for every user, including the superuser
//   (code 5), and so does a file the system refuses to open for writing.
// - The replacement keeps the permission bits (and, where allowed, the owner
//   and group) of the earlier file; a new file gets the usual permissions of
//   a newly created file (0666 less the process's umask).
// - A symbolic link is followed: the file it points to is replaced, the link
//   stays.
// - An existing entry that is not a regular file (a device such as /dev/full)
//   is written directly, as there is no earlier content to protect and a
//   rename would replace the device itself. A folder gives code 5.
void Remplacer(const std::string& nom, std::string_view contenu);

} // namespace FichierTexte
