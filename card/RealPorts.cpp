#include "card/RealPorts.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define NELVAR_REAL_PORTS 1
#include <grp.h>
#include <linux/capability.h>
#include <pthread.h>
#include <pwd.h>
#include <sched.h>
#include <sys/io.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

const char* const kIntroduction = "Carte réelle demandée (NELVAR_PORTS=reel), mais ";
constexpr int kExitPrivilegesKept = 2;

#if NELVAR_REAL_PORTS

bool KernelLockedDown()
{
    // "none [integrity] confidentiality": the mode in brackets is in force.
    std::ifstream file("/sys/kernel/security/lockdown");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return text.find("[integrity]") != std::string::npos || text.find("[confidentiality]") != std::string::npos;
}

std::string ProgramPath()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string("<programme>");
}

// Privileges that cannot be given up: unreachable on a sane system, and no
// window may open with them, not even to say so.
[[noreturn]] void StopWithPrivileges()
{
    std::fputs("nelvar : impossible d'abandonner les privilèges ; arrêt.\n", stderr);
    std::_Exit(kExitPrivilegesKept);
}

bool ParseId(const char* text, unsigned long& id)
{
    if (!text || !*text) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    id = std::strtoul(text, &end, 10);
    return errno == 0 && *end == '\0' && id != 0 && id < 0xFFFFFFFFul;
}

bool DropCapabilities()
{
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capset, &header, data) != 0) {
        return false;
    }
    prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0); // absent before Linux 4.3: nothing to clear
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    for (const auto& set : data) {
        if (set.effective != 0 || set.permitted != 0 || set.inheritable != 0) {
            return false;
        }
    }
    return true;
}

// From root through sudo back to the invoking user. Returns the refusal when
// there is no such user, else an empty text; stops the program when the
// privileges cannot be given up.
std::string ReturnToSudoUser()
{
    unsigned long uid = 0;
    unsigned long gid = 0;
    if (!ParseId(std::getenv("SUDO_UID"), uid) || !ParseId(std::getenv("SUDO_GID"), gid)) {
        return "le programme a été lancé en tant que root sans passer par sudo : il ne saurait pas à quel "
               "compte rendre ses droits, et il ne travaille pas avec les droits de root. Lancez-le avec sudo "
               "depuis votre compte, ou donnez-lui le droit une fois pour toutes avec "
               "« sudo setcap cap_sys_rawio+ep " + ProgramPath() + " ».";
    }

    // Still root: let the user's process use a real-time priority for the reads.
    const rlimit realtime{RealPorts::kRealtimePriority, RealPorts::kRealtimePriority};
    setrlimit(RLIMIT_RTPRIO, &realtime);

    const passwd* user = getpwuid(static_cast<uid_t>(uid));
    const bool groupsSet = user ? initgroups(user->pw_name, static_cast<gid_t>(gid)) == 0
                                : setgroups(0, nullptr) == 0;
    if (!groupsSet || setresgid(static_cast<gid_t>(gid), static_cast<gid_t>(gid), static_cast<gid_t>(gid)) != 0
        || setresuid(static_cast<uid_t>(uid), static_cast<uid_t>(uid), static_cast<uid_t>(uid)) != 0) {
        StopWithPrivileges();
    }
    if (user) {
        setenv("HOME", user->pw_dir, 1);
        setenv("USER", user->pw_name, 1);
        setenv("LOGNAME", user->pw_name, 1);
    }
    const std::string runtimeDir = "/run/user/" + std::to_string(uid);
    struct stat info {};
    if (stat(runtimeDir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == uid) {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    }
    return {};
}

#endif

} // namespace

std::string RealPorts::RefusalMessage(int error, bool lockedDown, const std::string& program)
{
    std::string text = kIntroduction;
#if NELVAR_REAL_PORTS
    if (error == EPERM && lockedDown) {
        text += "le noyau est verrouillé (lockdown, le plus souvent parce que le démarrage sécurisé UEFI est "
                "actif) et interdit l'accès direct aux ports d'entrée-sortie.";
    } else if (error == EPERM) {
        text += "l'accès direct aux ports d'entrée-sortie est refusé : le programme n'a pas le droit "
                "CAP_SYS_RAWIO. Donnez-le-lui une fois pour toutes avec « sudo setcap cap_sys_rawio+ep "
                + program + " », ou lancez-le avec sudo.";
    } else if (error == ENOSYS) {
        text += "ce noyau est compilé sans l'accès direct aux ports d'entrée-sortie (CONFIG_X86_IOPL_IOPERM).";
    } else {
        text += std::string("l'accès direct aux ports d'entrée-sortie est impossible (") + std::strerror(error) + ").";
    }
#else
    (void)error;
    (void)lockedDown;
    (void)program;
    text += "l'accès direct aux ports d'entrée-sortie n'existe que sous Linux sur un PC à processeur x86.";
#endif
    return text;
}

#if NELVAR_REAL_PORTS

std::unique_ptr<RealPorts> RealPorts::Open(std::string& message)
{
    const bool granted =
        ioperm(kCardFirstPort, kCardPortCount, 1) == 0 && ioperm(0x42, 2, 1) == 0 && ioperm(0x61, 1, 1) == 0;
    const int error = errno;
    if (granted) {
        // Best effort: lock what is mapped now (the program and its libraries).
        mlockall(MCL_CURRENT);
    }

    // Privileges are given up whether or not the ports were granted: the
    // window that follows, even one that only shows the refusal, must not
    // run with them. Root without sudo has no user to go back to: the real
    // card is then refused.
    std::string dropError;
    if (getuid() == 0 || geteuid() == 0) {
        dropError = ReturnToSudoUser();
    }
    const bool stillRoot = geteuid() == 0 || getuid() == 0;
    if (!stillRoot && (!DropCapabilities() || setuid(0) == 0)) {
        StopWithPrivileges();
    }

    if (!granted) {
        message = RefusalMessage(error, KernelLockedDown(), ProgramPath());
        return nullptr;
    }
    if (!dropError.empty()) {
        ioperm(kCardFirstPort, kCardPortCount, 0);
        ioperm(0x42, 2, 0);
        ioperm(0x61, 1, 0);
        message = kIntroduction + dropError;
        return nullptr;
    }

    std::unique_ptr<RealPorts> ports(new RealPorts());
    // Can this unprivileged process take a real-time priority? Try it once.
    sched_param parameter{};
    parameter.sched_priority = kRealtimePriority;
    int policy = 0;
    sched_param before{};
    if (pthread_getschedparam(pthread_self(), &policy, &before) == 0
        && pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0) {
        pthread_setschedparam(pthread_self(), policy, &before);
        ports->realtime_ = true;
    }
    return ports;
}

std::uint8_t RealPorts::inb(std::uint16_t port)
{
    return ::inb(port);
}

std::uint16_t RealPorts::inw(std::uint16_t port)
{
    return ::inw(port);
}

void RealPorts::outb(std::uint16_t port, std::uint8_t value)
{
    ::outb(value, port);
}

void RealPorts::DisableInterrupts()
{
    raised_ = false;
    if (!realtime_) {
        return;
    }
    sched_param before{};
    if (pthread_getschedparam(pthread_self(), &savedPolicy_, &before) != 0) {
        return;
    }
    savedPriority_ = before.sched_priority;
    sched_param parameter{};
    parameter.sched_priority = kRealtimePriority;
    raised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter) == 0;
}

void RealPorts::EnableInterrupts()
{
    if (raised_) {
        sched_param before{};
        before.sched_priority = savedPriority_;
        pthread_setschedparam(pthread_self(), savedPolicy_, &before);
        raised_ = false;
    }
}

#else

std::unique_ptr<RealPorts> RealPorts::Open(std::string& message)
{
    message = RefusalMessage(0, false, {});
    return nullptr;
}

// Never reached: Open gives no object on these systems.
std::uint8_t RealPorts::inb(std::uint16_t) { return 0xFF; }
std::uint16_t RealPorts::inw(std::uint16_t) { return 0xFFFF; }
void RealPorts::outb(std::uint16_t, std::uint8_t) {}
void RealPorts::DisableInterrupts() {}
void RealPorts::EnableInterrupts() {}

#endif
