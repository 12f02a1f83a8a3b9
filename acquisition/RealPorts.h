#pragma once
// The real I/O ports of an x86 PC under Linux: the card's ports and those of
// the PC's interval timer, reached with inb, inw and outb once the kernel has
// granted them (ioperm). Chosen only when the user asks for the real card
// (acquisition/PortSelection.h); tests never open it.
//
// ioperm needs the CAP_SYS_RAWIO capability and applies to the calling thread
// only: Open must run on the thread that will read the card, first thing in
// main(), before the window system starts threads of its own. It asks for
// the card's 16 ports at 0x280 (the program never moves the card from its
// default base) and the timer's 0x42, 0x43 and 0x61, nothing else, then
// gives up every privilege so that the window never runs privileged
// (acquisition/Privileges.h):
//   - started through sudo: back to the invoking user (SUDO_UID, SUDO_GID,
//     that user's groups and home directory); a real-time priority limit is
//     kept (RLIMIT_RTPRIO) so the reads can still run at real-time priority;
//   - started with the capability on the file (setcap cap_sys_rawio+ep):
//     every capability is dropped;
//   - started as root without sudo: refused, there is no user to go back to;
//   - installed setuid or setgid: refused, before any port is asked for.
// In every case it first clears the environment variables that would make
// Qt, or a library Qt loads, load code of the user's choosing while the
// process holds the ports, and sets no-new-privileges after the drop.
//
// Processor interrupts cannot be suspended from user space on current
// kernels. What stands in for it, when the system allows it: the read runs at
// real-time priority (SCHED_FIFO), so no ordinary task can preempt it, and
// the memory mapped at start is locked (mlockall), so the read takes no page
// fault. Interrupt handlers still run and may stretch a sampling period.
#include "acquisition/Clocks.h"
#include "acquisition/PortIo.h"
#include "runtime/Issue.h"

#include <functional>
#include <memory>
#include <string>

class RealPorts final : public PortIo {
public:
    static constexpr int kRealtimePriority = 50;

    // ioperm(first, count, turnOn), as the kernel's: 0, or -1 and errno.
    using Ioperm = std::function<int(unsigned long first, unsigned long count, int turnOn)>;

    // Opens the ports and drops privileges. Fails with a French message
    // when the ports cannot be had or the privileges cannot be given up.
    static Issue<std::unique_ptr<RealPorts>> Open();

    std::uint8_t inb(std::uint16_t port) override;
    std::uint16_t inw(std::uint16_t port) override;
    void outb(std::uint16_t port, std::uint8_t value) override;
    void DisableInterrupts() override; // real-time priority, when allowed
    void EnableInterrupts() override;  // back to the priority before
    std::chrono::nanoseconds Now() override { return clock_.Now(); }

    bool RealtimeAllowed() const { return realtime_; }

    // The message for a refusal of ioperm with `error` (an errno value);
    // `lockedDown` when the kernel's lockdown is on; `program` the path to
    // give to setcap.
    static std::string RefusalMessage(int error, bool lockedDown, const std::string& program);

    // The message for a refusal that comes from how the program was started
    // (IdentityKind::RefuseSetuid or RefuseRootWithoutSudo).
    static std::string StartRefusalMessage(bool setuid, const std::string& program);

    // Asks `ioperm` for the card's and the timer's ports, range by range.
    // When one is refused, gives back those granted before it. Returns 0, or
    // the errno of the refusal.
    static int RequestPorts(const Ioperm& ioperm);

private:
    RealPorts() = default;

    MonotonicClock clock_;
    bool realtime_ = false;
    bool raised_ = false;
    int savedPolicy_ = 0;
    int savedPriority_ = 0;
};
