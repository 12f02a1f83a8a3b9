#include "acquisition/Clocks.h"

std::chrono::nanoseconds MonotonicClock::Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}
