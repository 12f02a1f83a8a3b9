#include "kinetics/ConditionsMesure.h"

#include "numtext/NumberText.h"
#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"

namespace ConditionsMesure {

namespace {

// The volume's limits are converted to m³ exactly as the typed volume is
// (÷ 1000 in extended precision, then rounded to a double), so that typing
// either limit is accepted: the typed 5 L, back in litres (× 1000), would be
// 5 plus a rounding error, and refused.
const double kVolumeMinimal = Checked::ToDouble(kLitresMinimum / Constantes::kLitresParM3);
const double kVolumeMaximal = Checked::ToDouble(kLitresMaximum / Constantes::kLitresParM3);

// Enough digits for any limit written in a message.
constexpr int kPrecisionLimites = 15;

std::string Limite(long double valeur)
{
    return FormatGeneral(valeur, kPrecisionLimites, DecimalSeparator());
}

} // namespace

double VolumeEnM3(long double litres)
{
    const double volume
        = Checked::ToDouble(Checked::Divide(litres, static_cast<long double>(Constantes::kLitresParM3)));
    if (!(volume >= kVolumeMinimal && volume <= kVolumeMaximal))
        throw Exception("Le volume doit être compris entre " + Limite(kLitresMinimum) + " et "
                        + Limite(kLitresMaximum) + " L.");
    return volume;
}

double TemperatureEnK(long double celsius)
{
    const double temperature
        = Checked::ToDouble(Checked::Add(celsius, static_cast<long double>(Constantes::kZeroCelsiusEssai)));
    if (!(temperature > 0 && temperature <= kTemperatureMaximale))
        throw Exception("La température doit être supérieure à " + Limite(-Constantes::kZeroCelsiusEssai)
                        + " °C et ne pas dépasser "
                        + Limite(kTemperatureMaximale - Constantes::kZeroCelsiusEssai) + " °C.");
    return temperature;
}

} // namespace ConditionsMesure
