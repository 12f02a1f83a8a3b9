#pragma once
// What the simulated card's converter sees on its two inputs.
#include "acquisition/ReactionSimulee.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class AnalogueInputs {
public:
    virtual ~AnalogueInputs() = default;

    // Voltage on input `channel` (1 or 2) when a conversion starts at `time`.
    virtual double Voltage(int channel, std::chrono::nanoseconds time) = 0;
};

// A demonstration for the class: a closed vessel at 1013 hPa in which a
// reaction giving off a gas starts when readings begin after a pause. The
// pressure rises along a first-order curve whose rate and rise are those of
// the virtual bench's reaction (acquisition/ReactionSimulee.h): by default
// 300 hPa in all with a time constant of two minutes (two thirds of the rise
// after 2 min, almost all of it after 10). The bench's settings are read at
// each new reaction, and a change of them starts one. A manometer gives the pressure on channel 1 at 100 000 Pa per
// volt and its negative on channel 2, so the program's default coefficient
// shows the right pressure whether or not the two-channel formula is chosen.
// Each conversion carries a little noise (±3 mV, triangular), drawn from a
// seeded generator: the same conversions at the same times give the same
// voltages.
class DemonstrationSignal final : public AnalogueInputs {
public:
    static constexpr double kInitialPressure = 101300;   // Pa
    static constexpr double kPressureRise = Banc::kMonteeReference;         // Pa, at the bench's defaults
    static constexpr double kTimeConstant = 1 / Banc::kConstanteReference;  // s, at the bench's defaults
    static constexpr double kPascalsPerVolt = 100000;
    static constexpr double kNoisePeak = 0.003;          // V
    static constexpr std::chrono::seconds kPause{5};     // readings after a longer pause start a new reaction
    static constexpr std::uint64_t kDefaultSeed = 0x5EED'1013'0000'0001;

    // The reaction follows `bench` when one is given, else the defaults.
    explicit DemonstrationSignal(std::uint64_t seed = kDefaultSeed, std::shared_ptr<const Banc::Reglages> bench = {});

    double Voltage(int channel, std::chrono::nanoseconds time) override;

    // The pressure in the vessel at `time`, without noise: the initial
    // pressure before the first reading, then the current reaction's curve.
    double Pressure(std::chrono::nanoseconds time) const;

private:
    double Noise();
    void StartReaction(std::chrono::nanoseconds time);

    std::optional<std::chrono::nanoseconds> reactionStart_;
    std::optional<std::chrono::nanoseconds> lastReading_;
    std::uint64_t state_;
    std::shared_ptr<const Banc::Reglages> bench_;
    std::uint64_t benchVersion_ = 0;
    double pressureRise_ = kPressureRise; // Pa
    double timeConstant_ = kTimeConstant; // s
};
