#include "acquisition/DemonstrationSignal.h"

#include <cmath>

double DemonstrationSignal::Voltage(int channel, std::chrono::nanoseconds time)
{
    if (!lastReading_ || time - *lastReading_ > kPause) {
        reactionStart_ = time;
    }
    lastReading_ = time;

    const double manometer = Pressure(time) / kPascalsPerVolt;
    const double signal = channel == 1 ? manometer : channel == 2 ? -manometer : 0.0;
    return signal + Noise();
}

double DemonstrationSignal::Pressure(std::chrono::nanoseconds time) const
{
    if (!reactionStart_ || time <= *reactionStart_) {
        return kInitialPressure;
    }
    const double elapsed = std::chrono::duration<double>(time - *reactionStart_).count();
    return kInitialPressure + kPressureRise * -std::expm1(-elapsed / kTimeConstant);
}

double DemonstrationSignal::Noise()
{
    // splitmix64: small, fast, and the same on every platform.
    const auto next = [this] {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    };
    const auto uniform = [&next] { return static_cast<double>(next() >> 11) * 0x1.0p-53; }; // [0, 1)
    return (uniform() + uniform() - 1.0) * kNoisePeak;
}
