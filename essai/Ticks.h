#pragma once
// The run's pace: a tick every Periode seconds, and the tick time of the
// result table's row `ligne` as the saved file dates it (s): ligne × (1 /
// frequency), the frequency being the export's 1 / Periode. The window's
// runs and the virtual bench's journals date their readings by it.
namespace Ticks {

inline constexpr double kPeriode = 1.00013; // s between two ticks

inline double DateDeLigne(int ligne)
{
    const double frequence = static_cast<double>(1.0L / kPeriode);
    const double pas = 1.0 / frequence;
    return static_cast<double>(static_cast<long double>(ligne) * pas);
}

} // namespace Ticks
