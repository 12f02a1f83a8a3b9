// Fuzz target: the USB measuring box's answers, the bytes of one line from a
// device on a cable, read as a measure, an error and an identification.
//
// Input: bytes 0 and 1 are the count of samples the reading asked for, a
// little-endian signed 16-bit number (so that 0, negative counts and counts
// beyond the box's 4096 are exercised); bit 0 of byte 2 chooses the sensor;
// the following bytes are the line, given to the parsers in a buffer of
// exactly its size, with no terminating zero.
//
// Properties, for every line and count n:
//   - no sanitizer reports (nothing read past the line, no overflow);
//   - a measure is read exactly when the line is "M <n> <cycles> <sum0>
//     <sum1>" (single spaces, digits only) with the count asked, a period of
//     800 to 160 000 cycles (a rate of 100 to 20 000 Hz) and sums of 0 to
//     n x 1023, every number within its type; the values read are those of
//     the line, checked against a reading written out below;
//   - for such a measure (n >= 1) the reading handed to the driver has a rate
//     of 100 to 20 000 Hz and a pressure within what the sensor's output can
//     give, channel 2 being channel 1's negative;
//   - an error is read exactly when the line starts with "ERR <code>" (the
//     code a whole number), followed by nothing or a space and its words; its
//     message is never empty and, for an unknown code, quotes the words;
//   - an identification is read exactly when the line holds, after its last
//     "ID NELVAR-BOITIER ", a version number, one space and a sensor word
//     with no space.
#include "acquisition/boitier/ProtocoleBoitier.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Exiger(bool ok, const char* propriete, std::string_view ligne)
{
    if (ok)
        return;
    std::fprintf(stderr, "\n*** property failed: %s\n    line (%zu bytes): \"", propriete, ligne.size());
    for (const char c : ligne)
        std::fprintf(stderr, c >= ' ' && c <= '~' ? "%c" : "\\x%02X", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\"\n");
    std::abort();
}

// A reader of the line, character by character, for the reference readings.
class Lecteur {
public:
    explicit Lecteur(std::string_view texte) : texte_(texte) {}

    bool Fin() const { return position_ == texte_.size(); }
    bool Prendre(char c)
    {
        if (Fin() || texte_[position_] != c)
            return false;
        ++position_;
        return true;
    }
    bool Prendre(std::string_view mot)
    {
        for (const char c : mot)
            if (!Prendre(c))
                return false;
        return true;
    }
    // One or more digits, as a number no greater than `maximum`; nothing
    // when there is no digit or the number is greater.
    std::optional<std::int64_t> Nombre(std::int64_t maximum)
    {
        const std::size_t debut = position_;
        std::int64_t valeur = 0;
        bool depasse = false;
        while (!Fin() && texte_[position_] >= '0' && texte_[position_] <= '9') {
            const int chiffre = texte_[position_] - '0';
            depasse = depasse || valeur > (maximum - chiffre) / 10;
            if (!depasse)
                valeur = valeur * 10 + chiffre;
            ++position_;
        }
        if (position_ == debut || depasse)
            return std::nullopt;
        return valeur;
    }
    std::string_view Reste() const { return texte_.substr(position_); }

private:
    std::string_view texte_;
    std::size_t position_ = 0;
};

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr int kIntMax = std::numeric_limits<int>::max();

std::optional<Boitier::Mesure> MesureAttendue(std::string_view ligne, std::int32_t nombre)
{
    Lecteur lecteur(ligne);
    if (!lecteur.Prendre("M "))
        return std::nullopt;
    const std::optional<std::int64_t> n = lecteur.Nombre(kInt32Max);
    if (!n || !lecteur.Prendre(' '))
        return std::nullopt;
    const std::optional<std::int64_t> cycles = lecteur.Nombre(kInt32Max);
    if (!cycles || !lecteur.Prendre(' '))
        return std::nullopt;
    const std::optional<std::int64_t> somme0 = lecteur.Nombre(kInt64Max);
    if (!somme0 || !lecteur.Prendre(' '))
        return std::nullopt;
    const std::optional<std::int64_t> somme1 = lecteur.Nombre(kInt64Max);
    if (!somme1 || !lecteur.Fin())
        return std::nullopt;
    const std::int64_t sommeMax = std::int64_t{nombre} * 1023;
    if (*n != nombre || *cycles < 800 || *cycles > 160000 || *somme0 > sommeMax || *somme1 > sommeMax)
        return std::nullopt;
    return Boitier::Mesure{static_cast<std::int32_t>(*cycles), *somme0, *somme1};
}

std::optional<Boitier::Erreur> ErreurAttendue(std::string_view ligne)
{
    Lecteur lecteur(ligne);
    if (!lecteur.Prendre("ERR "))
        return std::nullopt;
    const std::optional<std::int64_t> code = lecteur.Nombre(kIntMax);
    if (!code)
        return std::nullopt;
    if (lecteur.Fin())
        return Boitier::Erreur{static_cast<int>(*code), {}};
    if (!lecteur.Prendre(' '))
        return std::nullopt;
    return Boitier::Erreur{static_cast<int>(*code), std::string(lecteur.Reste())};
}

std::optional<Boitier::Identification> IdentificationAttendue(std::string_view ligne)
{
    constexpr std::string_view kDebut = "ID NELVAR-BOITIER ";
    const std::size_t debut = ligne.rfind(kDebut);
    if (debut == std::string_view::npos)
        return std::nullopt;
    Lecteur lecteur(ligne.substr(debut + kDebut.size()));
    const std::optional<std::int64_t> version = lecteur.Nombre(kIntMax);
    if (!version || !lecteur.Prendre(' '))
        return std::nullopt;
    const std::string_view capteur = lecteur.Reste();
    if (capteur.empty() || capteur.find(' ') != std::string_view::npos)
        return std::nullopt;
    return Boitier::Identification{static_cast<int>(*version), std::string(capteur)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    if (taille < 3)
        return 0;
    const auto nombre = static_cast<std::int16_t>(donnees[0] | (donnees[1] << 8));
    const Boitier::Capteur capteur = (donnees[2] & 1) ? Boitier::Capteur::MPX4250AP : Boitier::Capteur::MPX5700AP;
    const std::vector<char> octets(donnees + 3, donnees + taille);
    const std::string_view ligne(octets.data(), octets.size());

    const std::optional<Boitier::Mesure> mesure = Boitier::LireMesure(ligne, nombre);
    const std::optional<Boitier::Mesure> mesureAttendue = MesureAttendue(ligne, nombre);
    Exiger(mesure.has_value() == mesureAttendue.has_value(), "a measure is read exactly when the line is one", ligne);
    if (mesure) {
        Exiger(mesure->cycles == mesureAttendue->cycles && mesure->somme0 == mesureAttendue->somme0
                   && mesure->somme1 == mesureAttendue->somme1,
               "the measure's values are the line's", ligne);
        if (nombre >= 1) {
            const LectureTensions lecture = Boitier::Tensions(capteur, *mesure, nombre);
            Exiger(lecture.frequence >= 100 && lecture.frequence <= 20000, "the rate is one the box has", ligne);
            // The sensors' outputs from 0 to 1023/1024 of the supply: -31 to
            // 765 kPa through the MPX5700AP, 10 to 260 kPa through the
            // MPX4250AP, in volts of the card's manometer (1 V per 100 kPa).
            const bool mpx4250 = capteur == Boitier::Capteur::MPX4250AP;
            const double minimum = mpx4250 ? 0.099 : -0.312;
            const double maximum = mpx4250 ? 2.598 : 7.647;
            Exiger(std::isfinite(lecture.tensionVoie1) && lecture.tensionVoie1 >= minimum
                       && lecture.tensionVoie1 <= maximum,
                   "the pressure is one the sensor can give", ligne);
            Exiger(lecture.tensionVoie2 == -lecture.tensionVoie1, "channel 2 is channel 1's negative", ligne);
        }
    }

    const std::optional<Boitier::Erreur> erreur = Boitier::LireErreur(ligne);
    const std::optional<Boitier::Erreur> erreurAttendue = ErreurAttendue(ligne);
    Exiger(erreur.has_value() == erreurAttendue.has_value(), "an error is read exactly when the line is one", ligne);
    if (erreur) {
        Exiger(erreur->code == erreurAttendue->code && erreur->mots == erreurAttendue->mots,
               "the error's code and words are the line's", ligne);
        const std::string message = Boitier::MessageErreur(*erreur, nombre, 15700);
        Exiger(!message.empty(), "an error has a message", ligne);
        if (erreur->code < 1 || erreur->code > 4) {
            const std::string fin = erreur->mots + " ».";
            Exiger(message.size() >= fin.size() && message.compare(message.size() - fin.size(), fin.size(), fin) == 0,
                   "an unknown error's message quotes its words", ligne);
        }
    }

    const std::optional<Boitier::Identification> identification = Boitier::LireIdentification(ligne);
    const std::optional<Boitier::Identification> identificationAttendue = IdentificationAttendue(ligne);
    Exiger(identification.has_value() == identificationAttendue.has_value(),
           "an identification is read exactly when the line holds one", ligne);
    if (identification) {
        Exiger(identification->version == identificationAttendue->version
                   && identification->capteur == identificationAttendue->capteur,
               "the identification's version and sensor are the line's", ligne);
    }
    return 0;
}
