#pragma once
// What the simulated card's converter sees on its two inputs.
#include <chrono>
#include <cstdint>
#include <optional>

class AnalogueInputs {
public:
    virtual ~AnalogueInputs() = default;

    // Voltage on input `channel` (1 or 2) when a conversion starts at `time`.
    virtual double Voltage(int channel, std::chrono::nanoseconds time) = 0;
};

// A demonstration for the class: a closed vessel at 1013 hPa in which a
// reaction giving off a gas starts when readings begin after a pause. The
// pressure rises along a first-order curve, 300 hPa in all with a time
// constant of two minutes (two thirds of the rise after 2 min, almost all of
// it after 10). A manometer gives the pressure on channel 1 at 100 000 Pa per
// volt and its negative on channel 2, so the program's default coefficient
// shows the right pressure whether or not the two-channel formula is chosen.
// Each conversion carries a little noise (±3 mV, triangular), drawn from a
// seeded generator: the same conversions at the same times give the same
// voltages.
class DemonstrationSignal final : public AnalogueInputs {
public:
    static constexpr double kInitialPressure = 101300;   // Pa
    static constexpr double kPressureRise = 30000;       // Pa, when the reaction is over
    static constexpr double kTimeConstant = 120;         // s
    static constexpr double kPascalsPerVolt = 100000;
    static constexpr double kNoisePeak = 0.003;          // V
    static constexpr std::chrono::seconds kPause{5};     // readings after a longer pause start a new reaction
    static constexpr std::uint64_t kDefaultSeed = 0x5EED'1013'0000'0001;

    explicit DemonstrationSignal(std::uint64_t seed = kDefaultSeed) : state_(seed) {}

    double Voltage(int channel, std::chrono::nanoseconds time) override;

    // The pressure in the vessel at `time`, without noise: the initial
    // pressure before the first reading, then the current reaction's curve.
    double Pressure(std::chrono::nanoseconds time) const;

private:
    double Noise();

    std::optional<std::chrono::nanoseconds> reactionStart_;
    std::optional<std::chrono::nanoseconds> lastReading_;
    std::uint64_t state_;
};
