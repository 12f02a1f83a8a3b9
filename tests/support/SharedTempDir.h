#pragma once
// A folder for temporary files that every user can reach, for tests whose
// child process acts as another user (uid 65534) on the files they make: the
// tests' temporary folder ($TMPDIR, else /tmp) when others may enter it and
// every folder above it, else /tmp. A $TMPDIR inside a folder only its owner
// may enter (such as root's home) would otherwise fail those checks for the
// wrong reason.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

inline std::filesystem::path SharedTempDir()
{
    std::filesystem::path dossier = std::filesystem::absolute(::testing::TempDir()).lexically_normal();
    if (!dossier.has_filename())
        dossier = dossier.parent_path(); // the trailing separator
    for (std::filesystem::path niveau = dossier;; niveau = niveau.parent_path()) {
        struct stat etat {};
        if (::stat(niveau.c_str(), &etat) != 0 || (etat.st_mode & S_IXOTH) == 0)
            return "/tmp";
        if (niveau == niveau.parent_path())
            return dossier;
    }
}
