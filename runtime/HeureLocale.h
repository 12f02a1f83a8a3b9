#pragma once
// A moment written in local time.
#include <chrono>
#include <string>

// `moment` in the local time zone, by strftime's `forme`; "" when the text
// would not fit in 64 bytes.
std::string HeureLocale(std::chrono::system_clock::time_point moment, const char* forme);
