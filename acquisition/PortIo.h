#pragma once
// Direct I/O-port access as the card driver sees it: byte writes, byte and
// 16-bit reads on a 16-bit port number, the suspension of processor
// interrupts around a timed read, and the monotonic clock the ports run on,
// which bounds how long a read may wait for the hardware. The card's read
// (acquisition/LectureCarte.h) goes through it. Implementations: the simulated card
// (acquisition/SimulatedCard.h, the default; its own injected clock) and the real
// ports of an x86 PC (acquisition/RealPorts.h, chosen explicitly; the system's
// monotonic clock).
#include <chrono>
#include <cstdint>

// The card's I/O base with no address offset: its 16 ports start here.
inline constexpr std::uint16_t kBaseCarte = 0x280;

class PortIo {
public:
    virtual ~PortIo() = default;

    virtual std::uint8_t inb(std::uint16_t port) = 0;
    virtual std::uint16_t inw(std::uint16_t port) = 0;
    virtual void outb(std::uint16_t port, std::uint8_t value) = 0;

    virtual void DisableInterrupts() = 0;
    virtual void EnableInterrupts() = 0;

    // Time since an arbitrary origin on the clock the ports run on; never
    // goes back.
    virtual std::chrono::nanoseconds Now() = 0;
};
