#pragma once
// A simulated acquisition card and PC interval timer, at the level of the
// I/O ports, so that the program runs on any PC. It answers the port sequence
// of the card driver as the real hardware does:
//
//   card, at every base the driver can choose (0x280 + 0, 16, ..., 112 and
//   0x280 + 256, ..., 368, i.e. 0x280-0x2FF and 0x380-0x3FF), with r = port & 0xF:
//     r = 0, 1   channel 1 data word (low byte at r = 0); writing 0xFF to r = 0
//                starts a conversion, which is ready at once
//     r = 2, 3   channel 2, the same
//     r = C, D, E  8255 ports A, B, C; r = F its control word
//   0x43, 0x42   mode register and data of timer channel 2 (channels 0 and 1
//                belong to the system and are not simulated)
//   0x61         bit 0 gates timer channel 2, bits 0-3 read back as written,
//                bit 5 reads back the output of channel 2
//   anything else reads all ones, as on a real bus, and ignores writes.
//
// Decoding every valid base rather than one jumpered base means the card
// follows whatever AdressOffset the component is given.
//
// The timer output is not ticked: it is computed, when port 0x61 is read,
// from the time the injected clock says has passed since counting started.
#include "acquisition/Clocks.h"
#include "acquisition/DemonstrationSignal.h"
#include "acquisition/PortIo.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

class SimulatedCard final : public PortIo {
public:
    static constexpr std::int64_t kTimerClockHz = 1193200;

    // The card reads `inputs` (the demonstration when none is given) and
    // times itself on `clock`, which must outlive it.
    explicit SimulatedCard(Clock& clock, std::unique_ptr<AnalogueInputs> inputs = nullptr);
    // The same, owning its clock.
    explicit SimulatedCard(std::unique_ptr<Clock> clock, std::unique_ptr<AnalogueInputs> inputs = nullptr);

    std::uint8_t inb(std::uint16_t port) override;
    std::uint16_t inw(std::uint16_t port) override;
    void outb(std::uint16_t port, std::uint8_t value) override;
    void DisableInterrupts() override { interruptsDisabled_ = true; }
    void EnableInterrupts() override { interruptsDisabled_ = false; }
    std::chrono::nanoseconds Now() override { return clock_.Now(); }

    // What the hardware holds, for tests and for the curious.
    std::uint8_t ControlWord8255() const { return controlWord_; }
    bool InterruptsDisabled() const { return interruptsDisabled_; }
    std::uint32_t TimerDivisor() const { return timer_.divisor; } // 0 until a count is loaded
    bool TimerOutput();                                            // OUT of channel 2 now

    // The converter's code for a voltage (12 bits over ±5.12125 V, rounded,
    // clamped to 0..4095) and the card's data word for a code: low byte = the
    // eight most significant bits, upper four bits of the high byte = the
    // four least significant ones, bits 8-11 zero.
    static std::uint16_t CodeForVoltage(double volts);
    static std::uint16_t DataWord(std::uint16_t code);

private:
    struct Timer {
        std::uint8_t mode = 0;         // 0-5 (6 and 7 are read as 2 and 3)
        std::uint8_t access = 0;       // 1 low byte, 2 high byte, 3 low then high; 0 = not programmed
        bool highBytePending = false;  // access 3: the low byte has been written
        std::uint8_t lowByte = 0;
        std::uint32_t divisor = 0;     // 1..65536 once loaded (a count of 0 means 65536)
        bool gate = false;
        bool counting = false;
        std::chrono::nanoseconds start{0};
    };

    void WriteTimerMode(std::uint8_t value);
    void WriteTimerCount(std::uint8_t value);
    void LoadTimer(std::uint32_t count);
    void WriteSystemPort(std::uint8_t value);
    std::uint8_t ReadCard(unsigned reg) const;
    void WriteCard(unsigned reg, std::uint8_t value);

    std::unique_ptr<Clock> ownedClock_;
    Clock& clock_;
    std::unique_ptr<AnalogueInputs> inputs_;

    std::array<std::uint16_t, 2> converted_{0x800, 0x800}; // last code of each channel
    std::uint8_t controlWord_ = 0x9B;                       // the 8255 after reset: every port an input
    std::array<std::uint8_t, 3> outputLatch_{};             // ports A, B, C
    std::uint8_t systemPort_ = 0;                           // port 0x61, bits 0-3
    Timer timer_;
    bool interruptsDisabled_ = false;
};
