// The card's read gives the processor's interrupts back however it ends.
#include "acquisition/LectureCarte.h"
#include "tests/acquisition/support/FakePorts.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The card's ports, whose converter fails at the first data word read.
class ConvertisseurEnPanne final : public PortIo {
public:
    explicit ConvertisseurEnPanne(FakePorts& ports) : ports_(ports) {}
    std::uint8_t inb(std::uint16_t port) override { return ports_.inb(port); }
    std::uint16_t inw(std::uint16_t) override { throw std::runtime_error("convertisseur en panne"); }
    void outb(std::uint16_t port, std::uint8_t value) override { ports_.outb(port, value); }
    void DisableInterrupts() override { ports_.DisableInterrupts(); }
    void EnableInterrupts() override { ports_.EnableInterrupts(); }
    std::chrono::nanoseconds Now() override { return ports_.Now(); }

private:
    FakePorts& ports_;
};

TEST(LectureCarte, a_throw_inside_the_read_gives_the_interrupts_back)
{
    FakePorts ports;
    ConvertisseurEnPanne enPanne(ports);
    LectureCarte carte(enPanne);

    EXPECT_THROW((void)carte.Lire(314, 15700), std::runtime_error);
    ASSERT_FALSE(ports.Accesses().empty());
    EXPECT_EQ(ports.Accesses().front(), InterruptsOff());
    EXPECT_EQ(ports.Accesses().back(), InterruptsOn());
}

} // namespace
