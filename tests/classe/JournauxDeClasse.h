#pragma once
// Run journals of a class, written by the journal's own writer: a pressure
// rising along a first-order curve of a chosen k, one reading a second, with
// a fixed pseudo-random noise.
#include "journal/JournalEssai.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace JournauxDeClasse {

struct Essai {
    std::chrono::system_clock::time_point debut;
    std::string poste;
    double temperature = 20; // °C
    double volume = 0.25;    // L
    double k = 0.005;        // s⁻¹
    int lectures = 300;      // one a second
    double bruit = 10;       // Pa, about one standard deviation
    std::uint64_t graine = 1;
};

inline constexpr double kPressionInitiale = 101300; // Pa
inline constexpr double kMontee = 3000;             // Pa

// 2026-12-08 08:00:00 UTC, and `secondes` later.
inline std::chrono::system_clock::time_point Matin(long secondes = 0)
{
    return std::chrono::system_clock::from_time_t(1796716800 + secondes);
}

// Nearly Gaussian noise of standard deviation `ecartType`: the sum of four
// uniform draws of a xorshift generator (its variance 4/12).
class Bruit {
public:
    explicit Bruit(std::uint64_t graine) : etat_(graine * 0x9E3779B97F4A7C15ull + 1) {}
    double operator()(double ecartType)
    {
        double somme = 0;
        for (int i = 0; i < 4; ++i) {
            etat_ ^= etat_ << 13;
            etat_ ^= etat_ >> 7;
            etat_ ^= etat_ << 17;
            somme += static_cast<double>(etat_ >> 11) / 9007199254740992.0 - 0.5;
        }
        return somme * ecartType * std::sqrt(3.0);
    }

private:
    std::uint64_t etat_;
};

// The reading of second `i` of `essai`.
inline Journal::Lecture Lecture(const Essai& essai, int i, Bruit& bruit)
{
    const double t = i;
    const double p = std::round(kPressionInitiale + kMontee * (1 - std::exp(-essai.k * t)) + bruit(essai.bruit));
    const double x = (p - kPressionInitiale) * (essai.volume / 1000) / (8.314 * (essai.temperature + 273));
    return {t, t, p, x, p / 100000, 0};
}

// Writes the journal of `essai` in `dossier` and gives its path; throws
// std::runtime_error when the journal cannot write.
inline std::string Ecrire(const std::string& dossier, const Essai& essai)
{
    Journal::Ecrivain journal(dossier, {essai.debut, "carte simulée", essai.volume, essai.temperature, 100000,
                                        false, essai.poste});
    Bruit bruit(essai.graine);
    for (int i = 0; i < essai.lectures; ++i)
        if (const auto erreur = journal.Ajouter(Lecture(essai, i, bruit)))
            throw std::runtime_error(*erreur);
    return journal.Chemin();
}

} // namespace JournauxDeClasse
