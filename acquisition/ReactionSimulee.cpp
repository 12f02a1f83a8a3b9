#include "acquisition/ReactionSimulee.h"

#include <cmath>
#include <cstdio>

namespace Banc {

namespace {

double Kelvins(double celsius)
{
    return celsius + kZeroCelsius;
}

// A number as the bench's texts write it: at most `decimalesMax` decimals,
// trailing zeros dropped down to `decimalesMin`, a decimal comma. The one
// place where the bench formats a number.
std::string Nombre(double valeur, int decimalesMax, int decimalesMin)
{
    char texte[64];
    std::snprintf(texte, sizeof texte, "%.*f", decimalesMax, valeur);
    std::string resultat(texte);
    const std::size_t point = resultat.find('.');
    if (point == std::string::npos)
        return resultat;
    const std::size_t garder = point + 1 + static_cast<std::size_t>(decimalesMin);
    while (resultat.size() > garder && resultat.back() == '0')
        resultat.pop_back();
    if (resultat.back() == '.')
        resultat.pop_back();
    else
        resultat[point] = ',';
    return resultat;
}

// `sujet` is the sentence's start: « La température du bain doit être comprise ».
std::optional<std::string> HorsBornes(double valeur, Bornes bornes, const char* sujet, const char* unite,
                                      int decimales)
{
    if (valeur >= bornes.minimum && valeur <= bornes.maximum) // NaN fails both
        return std::nullopt;
    return std::string(sujet) + " entre " + Nombre(bornes.minimum, decimales, 0) + " et "
           + Nombre(bornes.maximum, decimales, 0) + " " + unite + ".";
}

} // namespace

std::optional<std::string> Erreur(const Reaction& r)
{
    if (auto e = HorsBornes(r.temperature, kBornesTemperature, "La température du bain doit être comprise", "°C", 1))
        return e;
    if (auto e = HorsBornes(r.concentration, kBornesConcentration,
                            "La concentration initiale en eau oxygénée doit être comprise", "mol/L", 3))
        return e;
    if (auto e = HorsBornes(r.catalyseur, kBornesCatalyseur, "La concentration en ions iodure doit être comprise",
                            "mol/L", 3))
        return e;
    if (auto e = HorsBornes(r.volumeSolution, kBornesVolumeSolution, "Le volume de la solution doit être compris",
                            "mL", 1))
        return e;
    return HorsBornes(r.volumeGaz, kBornesVolumeGaz, "Le volume du gaz dans le flacon doit être compris", "mL", 1);
}

double ConstanteDeVitesse(const Reaction& r)
{
    const double arrhenius =
        std::exp(-kEnergieActivation / kR * (1 / Kelvins(r.temperature) - 1 / Kelvins(kTemperatureReference)));
    return kConstanteReference * (r.catalyseur / kCatalyseurReference) * arrhenius;
}

double QuantiteOxygene(const Reaction& r)
{
    return r.concentration * (r.volumeSolution * 1e-3) / 2;
}

double MonteeDePression(const Reaction& r)
{
    // n·R·T/V, written as the reference's rise times the ratios, so that the
    // defaults give exactly the reference (every ratio is then exactly 1).
    const double quantite = (r.concentration * r.volumeSolution) / (kConcentrationReference * kVolumeSolutionReference);
    return kMonteeReference * quantite * (Kelvins(r.temperature) / Kelvins(kTemperatureReference))
           * (kVolumeGazReference / r.volumeGaz);
}

std::string Texte(const Reaction& r)
{
    return "θ = " + Nombre(r.temperature, 1, 0) + " °C ; [H2O2]0 = " + Nombre(r.concentration, 3, 2)
           + " mol/L ; [I-] = " + Nombre(r.catalyseur, 3, 2) + " mol/L ; V solution = "
           + Nombre(r.volumeSolution, 1, 0) + " mL ; V gaz = " + Nombre(r.volumeGaz, 1, 0) + " mL";
}

Reaction Reglages::Lire() const
{
    const std::lock_guard verrou(garde_);
    return reaction_;
}

std::uint64_t Reglages::Version() const
{
    const std::lock_guard verrou(garde_);
    return version_;
}

void Reglages::Regler(const Reaction& reaction)
{
    const std::lock_guard verrou(garde_);
    if (reaction == reaction_)
        return;
    reaction_ = reaction;
    ++version_;
}

} // namespace Banc
