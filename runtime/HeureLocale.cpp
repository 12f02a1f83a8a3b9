#include "runtime/HeureLocale.h"

#include <ctime>

std::string HeureLocale(std::chrono::system_clock::time_point moment, const char* forme)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(moment);
    std::tm local{};
    localtime_r(&t, &local);
    char texte[64];
    return std::strftime(texte, sizeof texte, forme, &local) ? std::string(texte) : std::string();
}
