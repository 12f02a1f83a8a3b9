// The card component's driver side: construction, published properties,
// status, port map, 8255 configuration and the timed, averaged read of
// analogue channels 1 and 2.
#include "card/UDravoC.h"

#include "card/LecteurTensions.h"
#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace UDravoC {
std::uint16_t PortVoie1 = kBaseAdresse + 0x0;
std::uint16_t PortVoie2 = kBaseAdresse + 0x2;
std::uint16_t PortA = kBaseAdresse + 0xC;
std::uint16_t PortB = kBaseAdresse + 0xD;
std::uint16_t PortC = kBaseAdresse + 0xE;
std::uint16_t PortControle = kBaseAdresse + 0xF;
std::string RepertoireCourant;
std::string NomDernierFichier;
std::int32_t NumeroFichier = 0;
double PasFrequenceFFT = 0;

// The card's ports from its I/O base: converter channels at +0 and +2, the
// 8255's ports A, B, C at +0xC..+0xE and its control port at +0xF.
static void PlacerPorts(std::uint16_t base)
{
    PortVoie1 = base + 0x0;
    PortVoie2 = base + 0x2;
    PortA = base + 0xC;
    PortB = base + 0xD;
    PortC = base + 0xE;
    PortControle = base + 0xF;
}

void OublierDernierFichier()
{
    NomDernierFichier.clear();
}

void ReinitialiserEtatUnite()
{
    PlacerPorts(kBaseAdresse);
    RepertoireCourant.clear();
    NomDernierFichier.clear();
    NumeroFichier = 0;
    PasFrequenceFFT = 0;
}
} // namespace UDravoC

namespace {

using namespace UDravoC;

// The card's converter.
constexpr std::uint8_t kDebutConversion = 0xFF; // written to a channel's port to start a conversion

// The PC's programmable interval timer, channel 2, and the port that gates it.
constexpr std::int32_t kHorlogeTemporisateur = 1193200; // Hz
constexpr std::uint16_t kPortDonneesCompteur2 = 0x42;
constexpr std::uint16_t kPortModeTemporisateur = 0x43;
constexpr std::uint16_t kPortSysteme = 0x61;
constexpr std::uint8_t kModeCompteur2 = 0xB6;       // channel 2, low byte then high byte, mode 3 (square wave), binary
constexpr std::uint8_t kBitPorteCompteur2 = 0x01;   // port 0x61 bit 0: gate of channel 2
constexpr std::uint8_t kBitHautParleur = 0x02;      // port 0x61 bit 1: speaker on
constexpr std::uint8_t kBitSortieCompteur2 = 0x20;  // port 0x61 bit 5: reads back OUT of channel 2
constexpr std::uint16_t kDiviseurMin = 2;
constexpr std::uint16_t kDiviseurMax = 0xFFFF;

// Settling delay: an empty loop of fixed length, not a timed wait.
constexpr double kConstanteDelai = 1.0e9;
constexpr std::int32_t kToursDelai = static_cast<std::int32_t>(kConstanteDelai / 20000); // 50 000

// Longest time the passes of a read may spend polling the timer, on the
// clock the ports run on: ten times the read's own window (N / Frequence;
// 200 ms for the program's 20 ms read), and never less than kAttenteMinimale,
// so that a read of a few samples is not cut short by the system's
// scheduling. A live timer gives its N + 1 edges in about one window. A timer
// that never toggles (no channel 2 read-back on the machine) would otherwise
// hold the program for ever with real-time priority; past this bound the
// read gives up. Bounding by time rather than by a count of polls makes the
// bound the same whatever a poll costs. The normal port sequence is
// unchanged.
//
// A gap between two polls longer than kEcartMaximal counts as that much
// only: a poll takes about a microsecond, so such a gap is the program held
// by the system (another task on a loaded machine, the simulated card's
// process put aside), not the timer being slow, and must not end a read
// whose timer is alive.
constexpr double kFacteurAttente = 10;
constexpr std::chrono::nanoseconds kAttenteMinimale = std::chrono::milliseconds(10);
constexpr std::chrono::nanoseconds kEcartMaximal = std::chrono::milliseconds(1);

// Converter: 12 bits over ±5.12125 V.
constexpr double kMilieuEchelle = 2047.5;
constexpr double kPleineEchelle = 10.24;
constexpr double kPasEchelle = 4094;

constexpr TAdrOffs kOffsetMax = 368;

constexpr std::uint8_t kMotsDeControle[] = {
    0x8B, // aSortie_bcEntree
    0x9B, // abcEntree
    0x99, // acEntree_bSortie
    0x92, // abEntree_cSortie
};

void DelaiStabilisation()
{
    // A volatile counter: the compiler must perform every step.
    volatile std::int32_t compte = kToursDelai;
    while (compte > 0) {
        compte = compte - 1;
    }
}

// The 12-bit sample of a data word: the low byte holds the eight most
// significant bits, the upper four bits of the high byte the four least
// significant ones; bits 8 to 11 are not used.
constexpr std::int32_t Echantillon(std::uint16_t mot)
{
    return static_cast<std::int32_t>(mot & 0xFF) * 16 + (mot >> 12);
}

double TensionMoyenne(std::int32_t somme, std::int32_t nombre)
{
    const double moyenne = static_cast<double>(somme) / nombre;
    return (moyenne - kMilieuEchelle) * kPleineEchelle / kPasEchelle;
}

// Adds a sample to a channel sum kept, like the card's, in 32 signed bits: a
// sum past 2^31 (more than 524 416 full-scale samples) wraps around instead
// of being undefined.
inline void Ajouter(std::int32_t& somme, std::int32_t echantillon)
{
    somme = static_cast<std::int32_t>(static_cast<std::uint32_t>(somme) + static_cast<std::uint32_t>(echantillon));
}

// The time the passes of one read spend polling the timer, on the ports'
// clock, against the read's bound.
class TempsDeScrutation {
public:
    // For a read of `duree` seconds.
    TempsDeScrutation(PortIo& ports, double duree)
        : ports_(ports),
          maximum_(std::max(kAttenteMinimale, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(duree * kFacteurAttente)))),
          precedent_(ports.Now())
    {
    }

    // Counts the time since the last count; true once the bound is reached.
    bool Epuise()
    {
        const std::chrono::nanoseconds maintenant = ports_.Now();
        ecoule_ += std::min(maintenant - precedent_, kEcartMaximal);
        precedent_ = maintenant;
        return ecoule_ >= maximum_;
    }

private:
    PortIo& ports_;
    std::chrono::nanoseconds maximum_;
    std::chrono::nanoseconds precedent_;
    std::chrono::nanoseconds ecoule_{0};
};

// Waits for a rising edge of the timer output: bit 5 of port 0x61 seen at 0
// at least once, then at 1. Returns false when the read's polling time runs
// out first.
inline bool AttendreFrontMontant(PortIo& ports, TempsDeScrutation& temps)
{
    bool vuBas = false;
    for (;;) {
        if ((ports.inb(kPortSysteme) & kBitSortieCompteur2) == 0) {
            vuBas = true;
        } else if (vuBas) {
            return true;
        }
        if (temps.Epuise()) {
            return false;
        }
    }
}

// Status of a reading the device making it by itself could not give; the
// message is the device's.
constexpr std::int32_t kCodeLecteurEnEchec = 7;

constexpr const char* kMessageOffsetHorsPlage =
    "addrOffset, décalage d'adresse doit être multiple de 16, entre 0 et 368";
constexpr const char* kMessageOffsetNonMultiple = "addrOffset doit être multiple de 16";
constexpr const char* kMessageOffsetInterdit = "addrOffset ne doit pas être entre 8 x 16 et 15 x 16";
constexpr const char* kMessageDureeTropLongue = "Durée d'une mesure de tension supérieure à 60 secondes";
constexpr const char* kMessageFrequenceIncorrecte = "Fréquence incorrecte";
constexpr const char* kMessageHorlogeMuette =
    "L'horloge d'échantillonnage ne répond pas (port 0x61) : mesure abandonnée";

} // namespace

TDravoC::TDravoC(PortIo& ports, Platform* platform)
    : ports_(ports), platform_(platform)
{
    // The clipboard text holder and the save dialog are members, built above.
    // The offset is set directly: the port map keeps its unit-level values.
    adressOffset_ = 0;
    EffacerEtat();
    NomCarte = TlisteCartes::Candibus;
    SetConfiguration(aSortie_bcEntree);
    NombreDePointsDeMesure = 256;

    // No length limit on the path. Should the working directory be gone, the
    // output folder is taken relative to whatever the current directory is
    // when a file is written.
    std::error_code erreur;
    const std::filesystem::path repertoire = std::filesystem::current_path(erreur);
    RepertoireCourant = erreur ? std::string() : repertoire.string() + "/";
}

void TDravoC::DoUsing()
{
    if (OnUsing) {
        OnUsing(*this);
    }
}

void TDravoC::EffacerEtat()
{
    MessageErreur.clear();
    CodeErreur = 0;
}

void TDravoC::SetAdressOffset(TAdrOffs value)
{
    const auto signaler = [this](std::int32_t code, const char* message) {
        CodeErreur = code;
        MessageErreur = message;
        DoUsing();
    };

    EffacerEtat();
    DoUsing();
    if (value > kOffsetMax) {
        value = 0;
        signaler(1, kMessageOffsetHorsPlage);
    }
    if (value % 16 != 0) {
        signaler(2, kMessageOffsetNonMultiple);
    }
    // Bases 0x300 to 0x37F are refused: offsets 128 to 255.
    const unsigned q = value / 16;
    TAdrOffs offset = 0;
    if (q <= 7 || (q >= 16 && q <= 23)) {
        offset = static_cast<TAdrOffs>(q * 16);
    } else {
        signaler(3, kMessageOffsetInterdit);
    }

    adressOffset_ = offset;
    UDravoC::PlacerPorts(static_cast<std::uint16_t>(kBaseAdresse + offset));
}

void TDravoC::SetConfiguration(TlisteConfigurations value)
{
    assert(value <= abEntree_cSortie && "not a configuration of the 8255");
    if (value > abEntree_cSortie) {
        return;
    }
    configuration_ = value;
    EcrireControle(kMotsDeControle[value]);
}

void TDravoC::EcrireControle(std::uint8_t motDeControle)
{
    EffacerEtat();
    DoUsing();
    ports_.outb(PortControle, motDeControle);
}

void TDravoC::MesurerTensions(std::int32_t nombreDEchantillons, double frequence)
{
    const auto signaler = [this](std::int32_t code, const char* message) {
        CodeErreur = code;
        MessageErreur = message;
        DoUsing();
    };
    const std::int32_t n = nombreDEchantillons;

    NombreDePointsDeMesure = n;
    EffacerEtat();
    DoUsing();

    // Timer divisor. A frequency of zero is a division by zero (raised);
    // negative, NaN or above 596 600 Hz gives a divisor below 2; below about
    // 18.2 Hz the divisor does not fit the timer's 16 bits: the read then
    // runs at the slowest rate the timer has, and says so.
    const long double quotient = Checked::Divide(kHorlogeTemporisateur, frequence);
    std::uint16_t diviseur = 0;
    if (!(quotient >= kDiviseurMin)) {
        diviseur = kDiviseurMin;
        signaler(5, kMessageFrequenceIncorrecte);
    } else if (quotient >= kDiviseurMax + 1.0L) {
        diviseur = kDiviseurMax;
        signaler(5, kMessageFrequenceIncorrecte);
    } else {
        diviseur = static_cast<std::uint16_t>(quotient);
    }

    Frequence = static_cast<double>(kHorlogeTemporisateur) / diviseur;
    Duree = static_cast<std::uint32_t>(n) / Frequence;
    if (Duree > 60) {
        signaler(4, kMessageDureeTropLongue);
    }

    // The mean of no sample is 0/0. A negative count would otherwise make
    // about four thousand million passes with interrupts off.
    if (n < 1) {
        throw EInvalidOp();
    }

    // A device that makes the reading by itself (the USB measuring box) is
    // asked for it, behind the same checks; the rate it really used replaces
    // the timer's.
    if (LecteurTensions* lecteur = ports_.Lecteur()) {
        LectureTensions lecture;
        try {
            lecture = lecteur->Lire(n, frequence);
        } catch (const ELectureImpossible& echec) {
            signaler(kCodeLecteurEnEchec, echec.what());
            throw;
        }
        Frequence = lecture.frequence;
        Duree = static_cast<std::uint32_t>(n) / Frequence;
        TensionVoie1 = lecture.tensionVoie1;
        TensionVoie2 = lecture.tensionVoie2;
        return;
    }

    std::int32_t somme1 = 0;
    std::int32_t somme2 = 0;
    bool horlogeMuette = false;

    ports_.DisableInterrupts();

    std::uint8_t etat = static_cast<std::uint8_t>(ports_.inb(kPortSysteme) & ~(kBitPorteCompteur2 | kBitHautParleur));
    DelaiStabilisation();
    ports_.outb(kPortSysteme, etat);
    DelaiStabilisation();
    ports_.outb(kPortModeTemporisateur, kModeCompteur2);
    DelaiStabilisation();
    ports_.outb(kPortDonneesCompteur2, static_cast<std::uint8_t>(diviseur & 0xFF));
    DelaiStabilisation();
    ports_.outb(kPortDonneesCompteur2, static_cast<std::uint8_t>(diviseur >> 8));
    DelaiStabilisation();
    etat = static_cast<std::uint8_t>(ports_.inb(kPortSysteme) | kBitPorteCompteur2);
    DelaiStabilisation();
    ports_.outb(kPortSysteme, etat);

    // N + 1 passes: each reads the conversions started one timer period
    // earlier, then starts the next ones. The first pass has nothing
    // meaningful to read yet: its channel-1 word is discarded.
    const std::uint16_t portVoie1 = PortVoie1;
    const std::uint16_t portVoie2 = PortVoie2;
    TempsDeScrutation temps(ports_, Duree);
    for (std::int64_t passe = 0; passe <= n; ++passe) {
        if (!AttendreFrontMontant(ports_, temps)) {
            horlogeMuette = true;
            break;
        }
        const std::int32_t echantillon1 = Echantillon(ports_.inw(portVoie1));
        if (passe > 0) {
            Ajouter(somme1, echantillon1);
            Ajouter(somme2, Echantillon(ports_.inw(portVoie2)));
        }
        ports_.outb(portVoie1, kDebutConversion);
        ports_.outb(portVoie2, kDebutConversion);
    }

    // Port 0x61 is left as it is: channel 2 keeps running, speaker off.
    ports_.EnableInterrupts();

    if (horlogeMuette) {
        signaler(6, kMessageHorlogeMuette);
        throw ELectureImpossible(kMessageHorlogeMuette);
    }

    TensionVoie1 = TensionMoyenne(somme1, n);
    TensionVoie2 = TensionMoyenne(somme2, n);
}
