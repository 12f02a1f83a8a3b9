#include "acquisition/RealPorts.h"

#include "acquisition/Privileges.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#if NELVAR_REAL_PORTS
#include <pthread.h>
#include <sched.h>
#include <sys/io.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

const char* const kIntroduction = "Carte réelle demandée (NELVAR_PORTS=reel), mais ";

struct PortRange {
    unsigned long first;
    unsigned long count;
};

// The card's 16 ports at its base, the timer's channel 2 data port and mode
// register (0x42, 0x43), and the port of channel 2's gate and output (0x61).
constexpr std::array<PortRange, 3> kPortRanges = {{
    {kBaseCarte, 16},
    {0x42, 2},
    {0x61, 1},
}};

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

StartIds ProcessStartIds()
{
    return {getuid(), geteuid(), getgid(), getegid()};
}

#endif

} // namespace

int RealPorts::RequestPorts(const Ioperm& ioperm)
{
    for (std::size_t i = 0; i < kPortRanges.size(); ++i) {
        if (ioperm(kPortRanges[i].first, kPortRanges[i].count, 1) != 0) {
            const int error = errno;
            while (i-- > 0) {
                ioperm(kPortRanges[i].first, kPortRanges[i].count, 0);
            }
            return error;
        }
    }
    return 0;
}

std::string RealPorts::StartRefusalMessage(bool setuid, const std::string& program)
{
    if (setuid) {
        return kIntroduction
               + std::string("le programme est installé avec le droit setuid ou setgid : tout utilisateur "
                             "choisirait alors ce qui s'exécute avec les droits de son propriétaire, et il refuse "
                             "de fonctionner ainsi. Retirez ce droit (« sudo chmod u-s,g-s ")
               + program + " ») et donnez-lui plutôt l'accès aux ports avec « sudo setcap cap_sys_rawio+ep " + program
               + " ».";
    }
    return kIntroduction
           + std::string("le programme a été lancé en tant que root sans passer par sudo : il ne saurait pas à "
                         "quel compte rendre ses droits, et il ne travaille pas avec les droits de root. Lancez-le "
                         "avec sudo depuis votre compte, ou donnez-lui le droit une fois pour toutes avec "
                         "« sudo setcap cap_sys_rawio+ep ")
           + program + " ».";
}

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

Issue<std::unique_ptr<RealPorts>> RealPorts::Open()
{
    ClearPluginVariables();
    const IdentityChoice identity = ChooseIdentity(ProcessStartIds(), std::getenv("SUDO_UID"), std::getenv("SUDO_GID"));
    if (identity.kind == IdentityKind::RefuseSetuid) {
        // Ask for no port; give the owner's ids back before the window that
        // shows the refusal exists.
        GiveUpPrivileges(identity);
        return Echec{StartRefusalMessage(true, ProgramPath())};
    }
    if (identity.kind == IdentityKind::RefuseRootWithoutSudo) {
        return Echec{StartRefusalMessage(false, ProgramPath())};
    }

    const int error = RequestPorts(::ioperm);
    if (error == 0) {
        // Best effort: lock what is mapped now (the program and its libraries).
        mlockall(MCL_CURRENT);
    }
    // Privileges are given up whether or not the ports were granted: the
    // window that follows, even one that only shows the refusal, must not
    // run with them.
    GiveUpPrivileges(identity);
    if (error != 0) {
        return Echec{RefusalMessage(error, KernelLockedDown(), ProgramPath())};
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

Issue<std::unique_ptr<RealPorts>> RealPorts::Open()
{
    return Echec{RefusalMessage(0, false, {})};
}

// Never reached: Open gives no object on these systems.
std::uint8_t RealPorts::inb(std::uint16_t) { return 0xFF; }
std::uint16_t RealPorts::inw(std::uint16_t) { return 0xFFFF; }
void RealPorts::outb(std::uint16_t, std::uint8_t) {}
void RealPorts::DisableInterrupts() {}
void RealPorts::EnableInterrupts() {}

#endif
