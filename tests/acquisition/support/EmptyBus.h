#pragma once
// A card bus with nothing on it: reads give all ones, as on a real bus with
// no card, and writes go nowhere. For tests of the component's parts that
// never read the card (the table's text, the output). Its time is the
// system's monotonic clock.
#include "acquisition/Clocks.h"
#include "acquisition/PortIo.h"

class EmptyBus final : public PortIo {
public:
    std::uint8_t inb(std::uint16_t) override { return 0xFF; }
    std::uint16_t inw(std::uint16_t) override { return 0xFFFF; }
    void outb(std::uint16_t, std::uint8_t) override {}
    void DisableInterrupts() override {}
    void EnableInterrupts() override {}
    std::chrono::nanoseconds Now() override { return clock_.Now(); }

private:
    MonotonicClock clock_;
};
