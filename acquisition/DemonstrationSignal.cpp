#include "acquisition/DemonstrationSignal.h"

#include <cmath>
#include <utility>

DemonstrationSignal::DemonstrationSignal(std::uint64_t seed, std::shared_ptr<const Banc::Reglages> bench)
    : state_(seed), bench_(std::move(bench))
{
}

void DemonstrationSignal::StartReaction(std::chrono::nanoseconds time)
{
    reactionStart_ = time;
    if (!bench_)
        return;
    // The version first: settings changed after it start the next reaction.
    benchVersion_ = bench_->Version();
    const Banc::Reaction reaction = bench_->Lire();
    pressureRise_ = Banc::MonteeDePression(reaction);
    timeConstant_ = 1 / Banc::ConstanteDeVitesse(reaction);
}

double DemonstrationSignal::Voltage(int channel, std::chrono::nanoseconds time)
{
    if (!lastReading_ || time - *lastReading_ > kPause || (bench_ && bench_->Version() != benchVersion_)) {
        StartReaction(time);
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
    return kInitialPressure + pressureRise_ * -std::expm1(-elapsed / timeConstant_);
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
