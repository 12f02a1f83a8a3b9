#pragma once
// The privileges around the real card's ports (acquisition/RealPorts.h): which
// identity the program takes once the kernel has granted the ports, or
// whether it refuses to go on; the environment variables that would make a
// library load code of the user's choosing into a process that holds the
// ports; and, on x86 Linux, the giving up itself.
//
// The port grant survives the privilege drop (that is its purpose), so after
// the drop the process must run only the system's code: no identity taken
// from the environment unless root started the program, no setuid or setgid
// installation (any user would then choose what runs with the owner's ids),
// no plugin or module path from the environment, no new privileges through
// exec.
//
// The decisions are plain functions of their inputs, for tests; only
// ClearPluginVariables and GiveUpPrivileges touch the process.
#include <cstdint>
#include <string>
#include <vector>

// Direct port access, and the privileges it needs, exist only on x86 Linux.
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define NELVAR_REAL_PORTS 1
#else
#define NELVAR_REAL_PORTS 0
#endif

// The ids the process started with.
struct StartIds {
    std::uint32_t realUid = 0;
    std::uint32_t effectiveUid = 0;
    std::uint32_t realGid = 0;
    std::uint32_t effectiveGid = 0;
};

enum class IdentityKind {
    // Started by an ordinary user, with the file capability or without any
    // right: stays that user (the real ids), every capability dropped.
    KeepRealIds,
    // Started by root through sudo: becomes the invoking user, SUDO_UID and
    // SUDO_GID, with that user's groups.
    ReturnToSudoUser,
    // Installed setuid or setgid (real and effective ids differ at start):
    // back to the real ids, then the real card is refused.
    RefuseSetuid,
    // Root without sudo: there is no user to go back to, and the program
    // does not work as root: the real card is refused.
    RefuseRootWithoutSudo,
};

struct IdentityChoice {
    IdentityKind kind = IdentityKind::KeepRealIds;
    std::uint32_t uid = 0; // the ids to take (for the refusals: the real ids)
    std::uint32_t gid = 0;

    bool operator==(const IdentityChoice&) const = default;
};

// The identity to take, from the start ids and the values of SUDO_UID and
// SUDO_GID (null: unset). SUDO_* are trusted only when root started the
// program (real uid 0): anyone else can put any value there. They must be
// decimal numbers other than 0.
IdentityChoice ChooseIdentity(const StartIds& ids, const char* sudoUid, const char* sudoGid);

// The names of the variables, among the entries "NAME=value" of an
// environment, that ClearPluginVariables clears: those that name plugins,
// modules or the folders they are loaded from, for Qt and for the libraries
// Qt's plugins load (GTK, GIO, the OpenGL and Vulkan loaders). Qt's other
// variables go too, except a few harmless ones (screen scaling,
// accessibility, and the platform's name when it is only a name).
std::vector<std::string> PluginVariables(const std::vector<std::string>& environment);

// Clears the variables PluginVariables names from the process environment.
void ClearPluginVariables();

// Takes the identity chosen (not for RefuseRootWithoutSudo, which keeps
// root): drops every capability and sets no-new-privileges. Stops the
// program (exit code 2, message on stderr) when it cannot: no window may
// open with privileges, not even to say so. x86 Linux only.
void GiveUpPrivileges(const IdentityChoice& identity);
