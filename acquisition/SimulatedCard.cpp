#include "acquisition/SimulatedCard.h"

#include <cassert>
#include <cmath>
#include <utility>

namespace {

constexpr std::uint16_t kTimerChannel2Data = 0x42;
constexpr std::uint16_t kTimerMode = 0x43;
constexpr std::uint16_t kSystemPort = 0x61;
constexpr std::uint8_t kSystemPortLatched = 0x0F; // bits that read back as written
constexpr std::uint8_t kGate2 = 0x01;
constexpr std::uint8_t kOut2 = 0x20;
constexpr std::uint8_t kConversionStart = 0xFF;

// The card decodes the bases the driver accepts: offsets 0..127 and 256..383.
bool IsCardPort(std::uint16_t port)
{
    return (port >= 0x280 && port <= 0x2FF) || (port >= 0x380 && port <= 0x3FF);
}

// 8255 control word: bit 7 set = mode set; a set direction bit = input.
constexpr std::uint8_t kModeSet = 0x80;
constexpr std::uint8_t kPortAInput = 0x10;
constexpr std::uint8_t kPortCUpperInput = 0x08;
constexpr std::uint8_t kPortBInput = 0x02;
constexpr std::uint8_t kPortCLowerInput = 0x01;

// Nothing is wired to the 8255's inputs: they read all ones.
constexpr std::uint8_t kOpenInput = 0xFF;

} // namespace

SimulatedCard::SimulatedCard(Clock& clock, std::unique_ptr<AnalogueInputs> inputs)
    : clock_(clock), inputs_(inputs ? std::move(inputs) : std::make_unique<DemonstrationSignal>())
{
}

SimulatedCard::SimulatedCard(std::unique_ptr<Clock> clock, std::unique_ptr<AnalogueInputs> inputs)
    : ownedClock_(std::move(clock)), clock_(*ownedClock_),
      inputs_(inputs ? std::move(inputs) : std::make_unique<DemonstrationSignal>())
{
}

std::uint8_t SimulatedCard::inb(std::uint16_t port)
{
    if (port == kSystemPort) {
        const std::uint8_t value = static_cast<std::uint8_t>(systemPort_ | (TimerOutput() ? kOut2 : 0));
        clock_.OnPoll();
        return value;
    }
    if (IsCardPort(port)) {
        return ReadCard(port & 0xF);
    }
    // Reading back the count of channel 2 (port 0x42) is not simulated: the
    // driver never does it.
    return 0xFF;
}

std::uint16_t SimulatedCard::inw(std::uint16_t port)
{
    // A 16-bit read is the byte at the port and the byte at the next one.
    const std::uint8_t low = inb(port);
    const std::uint8_t high = inb(static_cast<std::uint16_t>(port + 1));
    return static_cast<std::uint16_t>(low | (high << 8));
}

void SimulatedCard::outb(std::uint16_t port, std::uint8_t value)
{
    if (port == kSystemPort) {
        WriteSystemPort(value);
    } else if (port == kTimerMode) {
        WriteTimerMode(value);
    } else if (port == kTimerChannel2Data) {
        WriteTimerCount(value);
    } else if (IsCardPort(port)) {
        WriteCard(port & 0xF, value);
    }
}

std::uint8_t SimulatedCard::ReadCard(unsigned reg) const
{
    switch (reg) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3: {
        const std::uint16_t word = DataWord(converted_[reg / 2]);
        return static_cast<std::uint8_t>(reg % 2 == 0 ? word & 0xFF : word >> 8);
    }
    case 0xC:
        return (controlWord_ & kPortAInput) ? kOpenInput : outputLatch_[0];
    case 0xD:
        return (controlWord_ & kPortBInput) ? kOpenInput : outputLatch_[1];
    case 0xE: {
        const std::uint8_t upper = (controlWord_ & kPortCUpperInput) ? 0xF0 : (outputLatch_[2] & 0xF0);
        const std::uint8_t lower = (controlWord_ & kPortCLowerInput) ? 0x0F : (outputLatch_[2] & 0x0F);
        return static_cast<std::uint8_t>(upper | lower);
    }
    default:
        // Including the 8255's control register, which cannot be read back.
        return 0xFF;
    }
}

void SimulatedCard::WriteCard(unsigned reg, std::uint8_t value)
{
    switch (reg) {
    case 0x0:
    case 0x2:
        if (value == kConversionStart) {
            const int channel = reg == 0 ? 1 : 2;
            converted_[reg / 2] = CodeForVoltage(inputs_->Voltage(channel, clock_.Now()));
        }
        break;
    case 0xC:
    case 0xD:
    case 0xE:
        outputLatch_[reg - 0xC] = value;
        break;
    case 0xF:
        if (value & kModeSet) {
            // A mode set clears every output, as on the 8255. Only mode 0
            // (plain input and output) is simulated, whatever the mode bits.
            controlWord_ = value;
            outputLatch_ = {};
        } else {
            // Bit set/reset of port C: the control word stays.
            const unsigned bit = (value >> 1) & 0x7;
            if (value & 0x01) {
                outputLatch_[2] = static_cast<std::uint8_t>(outputLatch_[2] | (1u << bit));
            } else {
                outputLatch_[2] = static_cast<std::uint8_t>(outputLatch_[2] & ~(1u << bit));
            }
        }
        break;
    default:
        break;
    }
}

void SimulatedCard::WriteSystemPort(std::uint8_t value)
{
    const bool gate = (value & kGate2) != 0;
    if (gate && !timer_.gate && timer_.divisor != 0) {
        // A rising gate restarts the count from the top (modes 2 and 3).
        timer_.counting = true;
        timer_.start = clock_.Now();
    } else if (!gate) {
        timer_.counting = false;
    }
    timer_.gate = gate;
    systemPort_ = value & kSystemPortLatched;
}

void SimulatedCard::WriteTimerMode(std::uint8_t value)
{
    if ((value >> 6) != 2) {
        return; // channels 0 and 1, or the read-back command
    }
    const std::uint8_t access = (value >> 4) & 0x3;
    if (access == 0) {
        return; // counter latch command: reading the count back is not simulated
    }
    std::uint8_t mode = (value >> 1) & 0x7;
    if (mode >= 6) {
        mode = static_cast<std::uint8_t>(mode - 4);
    }
    // A control word stops the counter until a new count is written; the
    // output goes high. BCD counting is not simulated (binary is assumed).
    timer_.mode = mode;
    timer_.access = access;
    timer_.highBytePending = false;
    timer_.divisor = 0;
    timer_.counting = false;
}

void SimulatedCard::WriteTimerCount(std::uint8_t value)
{
    switch (timer_.access) {
    case 1:
        LoadTimer(value);
        break;
    case 2:
        LoadTimer(static_cast<std::uint32_t>(value) << 8);
        break;
    case 3:
        if (!timer_.highBytePending) {
            timer_.lowByte = value;
            timer_.highBytePending = true;
        } else {
            timer_.highBytePending = false;
            LoadTimer(timer_.lowByte | (static_cast<std::uint32_t>(value) << 8));
        }
        break;
    default:
        break; // not programmed
    }
}

void SimulatedCard::LoadTimer(std::uint32_t count)
{
    // The real chip takes the count at its next input clock (under 1 µs);
    // here counting starts at once when the gate is open.
    timer_.divisor = count == 0 ? 0x10000 : count;
    if (timer_.gate) {
        timer_.counting = true;
        timer_.start = clock_.Now();
    }
}

bool SimulatedCard::TimerOutput()
{
    // Gate low, or no count since the control word: OUT is held high.
    if (!timer_.counting) {
        return true;
    }
    auto elapsed = clock_.Now() - timer_.start;
    if (elapsed.count() < 0) {
        elapsed = std::chrono::nanoseconds(0);
    }
    // Input clocks since counting started, without overflow for any
    // realistic time: whole seconds and the rest apart.
    const std::int64_t seconds = elapsed.count() / 1'000'000'000;
    const std::int64_t rest = elapsed.count() % 1'000'000'000;
    const std::int64_t clocks = seconds * kTimerClockHz + rest * kTimerClockHz / 1'000'000'000;
    const std::int64_t d = timer_.divisor;
    const std::int64_t phase = clocks % d;

    switch (timer_.mode) {
    case 3:
        // Square wave: a period of d clocks of 1 / 1 193 200 s, starting
        // high; high for the first (d + 1) / 2 clocks, low for the other
        // d / 2 (for an even d, exactly half and half). So OUT rises at
        // every whole period after the start.
        return phase < (d + 1) / 2;
    case 2:
        // Rate generator: low for the last clock of every period.
        return phase != d - 1;
    default:
        return true; // the one-shot modes are not simulated
    }
}

std::uint16_t SimulatedCard::CodeForVoltage(double volts)
{
    const double code = volts * 4094.0 / 10.24 + 2047.5;
    if (!(code > 0)) {
        return 0; // also NaN
    }
    if (code >= 4095) {
        return 4095;
    }
    return static_cast<std::uint16_t>(std::lround(code));
}

std::uint16_t SimulatedCard::DataWord(std::uint16_t code)
{
    assert(code <= 0xFFF);
    return static_cast<std::uint16_t>(((code & 0xF) << 12) | ((code >> 4) & 0xFF));
}
