#pragma once
// The USB measuring box's line protocol, version 1, on the program's side:
// the lines the program sends, the parsing of the box's answers, and the
// conversion of a reading into the voltages the card's manometer would give.
// Plain functions, no I/O (the serial line is acquisition/boitier/LiaisonSerie.h, the
// conversation acquisition/boitier/BoitierUsb.h).
//
// Lines are ASCII ended by "\n" (the box ignores "\r"); one command, one
// answer:
//   "ID"          -> "ID NELVAR-BOITIER 1 MPX5700AP"   (version, sensor); the
//                    box also sends it unprompted once ready after a reset
//   "M 314 15700" -> "M 314 1019 <sum0> <sum1>": n samples of A0 and A1 at
//                    f Hz, the Timer1 period used in CPU cycles
//                    (round(16 000 000 / f)) and the sums of the n 10-bit
//                    conversions of each input (AVCC reference)
//   errors        -> "ERR <code> <words>": 1 unknown command, 2 bad argument,
//                    3 a sample started late (reading abandoned), 4 line too
//                    long.
//
// The sensors are ratiometric (their output is a fraction of the 5 V supply,
// which is also the ADC's reference), so the pressure comes from the ratio
// r = mean0 / 1024 alone:
//   MPX5700AP  Vout/Vs = 0.0012858 x P[kPa] + 0.04
//   MPX4250AP  Vout/Vs = 0.004 x P[kPa] - 0.04
// The driver is then given what the card's manometer would have given:
// channel 1 = P[Pa] / 100 000 V, channel 2 its negative, so the default
// coefficient (100 000) and either setting of "p et - p sur voies 1 et 2 ?"
// show the pressure. The box's A1 sum is checked but not used.
#include "acquisition/LecteurTensions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Boitier {

enum class Capteur : std::uint8_t { MPX5700AP, MPX4250AP };

inline constexpr int kVersionProtocole = 1;
inline constexpr std::string_view kDebutIdentification = "ID NELVAR-BOITIER ";
inline constexpr std::string_view kCommandeIdentification = "ID\n";

// What the box accepts in a measure command.
inline constexpr std::int32_t kEchantillonsMin = 1;
inline constexpr std::int32_t kEchantillonsMax = 4096;
inline constexpr std::int32_t kFrequenceMin = 100;   // Hz
inline constexpr std::int32_t kFrequenceMax = 20000; // Hz
inline constexpr double kDureeMax = 2.0;             // s, n / f at most

inline constexpr double kHorlogeCpu = 16'000'000; // Hz, the ATmega328P's crystal
inline constexpr std::int32_t kConversionMax = 1023;
inline constexpr double kPleineEchelleConvertisseur = 1024;
inline constexpr double kPascalsParVolt = 100000; // the card's manometer

// A sensor's name as the identification gives it, and back.
const char* NomCapteur(Capteur capteur);
std::optional<Capteur> CapteurNomme(std::string_view nom);

// An identification line: "ID NELVAR-BOITIER <version> <sensor>". Bytes in
// front of it on the same line (a bootloader's noise) are skipped. The
// sensor is the word as sent, known or not.
struct Identification {
    int version = 0;
    std::string capteur;
};
std::optional<Identification> LireIdentification(std::string_view ligne);

// The measure command for `nombre` samples at `frequence` Hz, "\n"
// included, or nothing when the box would refuse it (count outside 1..4096,
// rate outside 100..20 000 Hz once rounded to a whole number, longer than
// 2 s, or not a number).
std::optional<std::string> CommandeMesure(std::int32_t nombre, double frequence);

// The rate the box's Timer1 runs at when asked for `frequence`: the
// frequency rounded to whole hertz, one period of whole CPU cycles
// (16 000 000 / round(16 000 000 / f)); refused outside 100..20 000 Hz, when
// the nearest end of that range is given.
Cadence CadenceMesure(double frequence);

// A measure answer for `nombre` samples: its period and sums, or nothing when
// the line is not a well-formed answer to that command (another count, a
// period no rate of the box gives, a sum beyond n x 1023).
struct Mesure {
    std::int32_t cycles = 0;
    std::int64_t somme0 = 0;
    std::int64_t somme1 = 0;
};
std::optional<Mesure> LireMesure(std::string_view ligne, std::int32_t nombre);

// An error answer "ERR <code> <words>".
struct Erreur {
    int code = 0;
    std::string mots;
};
std::optional<Erreur> LireErreur(std::string_view ligne);

// The French message for an error answer to a reading of `nombre` samples at
// `frequence` Hz.
std::string MessageErreur(const Erreur& erreur, std::int32_t nombre, double frequence);

// The pressure in kPa for a ratio Vout/Vs of `rapport`.
double PressionKPa(Capteur capteur, double rapport);

// The reading handed to the driver for a measure of `nombre` samples.
LectureTensions Tensions(Capteur capteur, const Mesure& mesure, std::int32_t nombre);

} // namespace Boitier
