#pragma once
// The conditions of a run as the user types them in the window: the gas
// volume in litres and the temperature in degrees Celsius, converted and
// checked exactly as a run's start does, so that the window and the kinetic
// analysis accept and refuse the same values with the same messages.
//
//   VolumeEnM3(0.25)        -> 0.00025 m³
//   VolumeEnM3(0.05)        -> 0.00005 m³        (the limits themselves are accepted)
//   VolumeEnM3(6)           -> throws "Le volume doit être compris entre 0,05 et 5 L."
//   TemperatureEnK(20)      -> 293 K             (T + 273, as the run converts)
//   TemperatureEnK(127)     -> 400 K
//   TemperatureEnK(-273)    -> throws "La température doit être supérieure à -273 °C et ne pas dépasser 127 °C."
// The limits in the messages are written with the process-wide decimal
// separator (numtext), shown here as ','.
#include "kinetics/Constantes.h"

#include <string>

namespace ConditionsMesure {

inline constexpr long double kLitresMinimum = 0.05L;
inline constexpr long double kLitresMaximum = 5.0L;
inline constexpr double kTemperatureMaximale = 400; // K (typed 127 °C)

// The volume in m³ (litres ÷ 1000 in extended precision, rounded to a
// double). Raises Exception with the message above when it is not between
// 0,05 and 5 L, the limits included; EMathError when the division fails.
double VolumeEnM3(long double litres);

// The temperature in K (°C + Constantes::kZeroCelsiusEssai). Raises Exception with the message above
// unless 0 K < T <= 400 K; EMathError when the addition fails.
double TemperatureEnK(long double celsius);

} // namespace ConditionsMesure
