#include "acquisition/boitier/ProtocoleBoitier.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace Boitier {

namespace {

// The sensors' transfer functions, Vout/Vs = pente x P[kPa] + decalage.
constexpr double kPente5700 = 0.0012858;
constexpr double kDecalage5700 = 0.04;
constexpr double kPente4250 = 0.004;
constexpr double kDecalage4250 = -0.04;

// The periods the box can use: round(16 MHz / f) for 100 <= f <= 20 000 Hz.
constexpr std::int32_t kCyclesMin = 800;
constexpr std::int32_t kCyclesMax = 160000;

// The words of a line, split at single spaces; empty words (two spaces, a
// leading or trailing space) are kept, so that such lines are refused.
std::vector<std::string_view> Mots(std::string_view ligne)
{
    std::vector<std::string_view> mots;
    std::size_t debut = 0;
    for (;;) {
        const std::size_t espace = ligne.find(' ', debut);
        mots.push_back(ligne.substr(debut, espace - debut));
        if (espace == std::string_view::npos)
            return mots;
        debut = espace + 1;
    }
}

// A whole unsigned decimal number, digits only.
template <typename Entier>
std::optional<Entier> Nombre(std::string_view mot)
{
    Entier valeur{};
    if (mot.empty() || mot.front() < '0' || mot.front() > '9')
        return std::nullopt;
    const auto [fin, erreur] = std::from_chars(mot.data(), mot.data() + mot.size(), valeur);
    if (erreur != std::errc() || fin != mot.data() + mot.size())
        return std::nullopt;
    return valeur;
}

} // namespace

const char* NomCapteur(Capteur capteur)
{
    return capteur == Capteur::MPX4250AP ? "MPX4250AP" : "MPX5700AP";
}

std::optional<Capteur> CapteurNomme(std::string_view nom)
{
    for (const Capteur capteur : {Capteur::MPX5700AP, Capteur::MPX4250AP}) {
        if (nom == NomCapteur(capteur))
            return capteur;
    }
    return std::nullopt;
}

std::optional<Identification> LireIdentification(std::string_view ligne)
{
    const std::size_t debut = ligne.rfind(kDebutIdentification);
    if (debut == std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string_view> mots = Mots(ligne.substr(debut + kDebutIdentification.size()));
    if (mots.size() != 2 || mots[1].empty())
        return std::nullopt;
    const std::optional<int> version = Nombre<int>(mots[0]);
    if (!version)
        return std::nullopt;
    return Identification{*version, std::string(mots[1])};
}

std::optional<std::string> CommandeMesure(std::int32_t nombre, double frequence)
{
    if (nombre < kEchantillonsMin || nombre > kEchantillonsMax)
        return std::nullopt;
    if (!(frequence >= kFrequenceMin - 0.5 && frequence < kFrequenceMax + 0.5))
        return std::nullopt;
    const auto f = static_cast<std::int32_t>(std::lround(frequence));
    if (f < kFrequenceMin || f > kFrequenceMax || static_cast<double>(nombre) / f > kDureeMax)
        return std::nullopt;
    return "M " + std::to_string(nombre) + " " + std::to_string(f) + "\n";
}

Cadence CadenceMesure(double frequence)
{
    const bool acceptee = frequence >= kFrequenceMin - 0.5 && frequence < kFrequenceMax + 0.5;
    double hertz = std::round(frequence);
    if (!acceptee)
        hertz = frequence >= kFrequenceMax ? kFrequenceMax : kFrequenceMin;
    return {kHorlogeCpu / std::round(kHorlogeCpu / hertz), acceptee};
}

std::optional<Mesure> LireMesure(std::string_view ligne, std::int32_t nombre)
{
    const std::vector<std::string_view> mots = Mots(ligne);
    if (mots.size() != 5 || mots[0] != "M")
        return std::nullopt;
    const std::optional<std::int32_t> n = Nombre<std::int32_t>(mots[1]);
    const std::optional<std::int32_t> cycles = Nombre<std::int32_t>(mots[2]);
    const std::optional<std::int64_t> somme0 = Nombre<std::int64_t>(mots[3]);
    const std::optional<std::int64_t> somme1 = Nombre<std::int64_t>(mots[4]);
    if (!n || !cycles || !somme0 || !somme1 || *n != nombre)
        return std::nullopt;
    const std::int64_t sommeMax = static_cast<std::int64_t>(nombre) * kConversionMax;
    if (*cycles < kCyclesMin || *cycles > kCyclesMax || *somme0 > sommeMax || *somme1 > sommeMax)
        return std::nullopt;
    return Mesure{*cycles, *somme0, *somme1};
}

std::optional<Erreur> LireErreur(std::string_view ligne)
{
    constexpr std::string_view kDebut = "ERR ";
    if (ligne.substr(0, kDebut.size()) != kDebut)
        return std::nullopt;
    const std::string_view reste = ligne.substr(kDebut.size());
    const std::size_t espace = reste.find(' ');
    const std::optional<int> code = Nombre<int>(reste.substr(0, espace));
    if (!code)
        return std::nullopt;
    return Erreur{*code, espace == std::string_view::npos ? std::string() : std::string(reste.substr(espace + 1))};
}

std::string MessageErreur(const Erreur& erreur, std::int32_t nombre, double frequence)
{
    switch (erreur.code) {
    case 1:
        return "Le boîtier de mesure ne connaît pas la commande de mesure du programme : son micrologiciel "
               "n'est pas celui de ce programme. Reprogrammez-le avec scripts/flash-box.sh.";
    case 2:
        return "Le boîtier de mesure refuse une lecture de " + std::to_string(nombre) + " échantillons à "
               + std::to_string(std::lround(frequence)) + " Hz.";
    case 3:
        return "Le boîtier de mesure n'a pas pu prendre ses échantillons à temps : la lecture est arrivée en "
               "retard et a été abandonnée.";
    case 4:
        return "Le boîtier de mesure a reçu une ligne trop longue.";
    default:
        return "Le boîtier de mesure a répondu par une erreur inconnue : « ERR " + std::to_string(erreur.code) + " "
               + erreur.mots + " ».";
    }
}

double PressionKPa(Capteur capteur, double rapport)
{
    if (capteur == Capteur::MPX4250AP)
        return (rapport - kDecalage4250) / kPente4250;
    return (rapport - kDecalage5700) / kPente5700;
}

LectureTensions Tensions(Capteur capteur, const Mesure& mesure, std::int32_t nombre)
{
    const double rapport = static_cast<double>(mesure.somme0) / nombre / kPleineEchelleConvertisseur;
    const double tension = PressionKPa(capteur, rapport) * 1000 / kPascalsParVolt;
    return LectureTensions{kHorlogeCpu / mesure.cycles, tension, -tension};
}

} // namespace Boitier
