#pragma once
// Direct I/O-port access as the card driver sees it: byte writes, byte and
// 16-bit reads on a 16-bit port number, and the suspension of processor
// interrupts around a timed read. Implementations: the simulated card
// (card/SimulatedCard.h, the default) and the real ports of an x86 PC
// (card/RealPorts.h, chosen explicitly), and the USB measuring box
// (card/BoitierUsb.h), which has no ports but a reader of its own.
#include <cstdint>

class LecteurTensions;

class PortIo {
public:
    virtual ~PortIo() = default;

    virtual std::uint8_t inb(std::uint16_t port) = 0;
    virtual std::uint16_t inw(std::uint16_t port) = 0;
    virtual void outb(std::uint16_t port, std::uint8_t value) = 0;

    virtual void DisableInterrupts() = 0;
    virtual void EnableInterrupts() = 0;

    // The device that makes the timed reading by itself, when there is one;
    // null for the card, whose reading the driver paces through the ports.
    virtual LecteurTensions* Lecteur() { return nullptr; }
};
