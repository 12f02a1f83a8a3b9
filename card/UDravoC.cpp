// The card component's driver side: construction, published properties,
// status, port map, 8255 configuration and the timed, averaged read of
// analogue channels 1 and 2.
#include "card/UDravoC.h"

#include "acquisition/LectureCarte.h"
#include "runtime/Exceptions.h"

#include <cassert>
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

// The card's ports from its I/O base (the card's own map, PlanDesPorts).
static PlanDesPorts PlacerPorts(std::uint16_t base)
{
    const PlanDesPorts plan = PlanDesPorts::PourBase(base);
    PortVoie1 = plan.voie1;
    PortVoie2 = plan.voie2;
    PortA = plan.a;
    PortB = plan.b;
    PortC = plan.c;
    PortControle = plan.controle;
    return plan;
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

constexpr TAdrOffs kOffsetMax = 368;

constexpr std::uint8_t kMotsDeControle[] = {
    0x8B, // aSortie_bcEntree
    0x9B, // abcEntree
    0x99, // acEntree_bSortie
    0x92, // abEntree_cSortie
};

constexpr const char* kMessageOffsetHorsPlage =
    "addrOffset, décalage d'adresse doit être multiple de 16, entre 0 et 368";
constexpr const char* kMessageOffsetNonMultiple = "addrOffset doit être multiple de 16";
constexpr const char* kMessageOffsetInterdit = "addrOffset ne doit pas être entre 8 x 16 et 15 x 16";
constexpr const char* kMessageDureeTropLongue = "Durée d'une mesure de tension supérieure à 60 secondes";
constexpr const char* kMessageFrequenceIncorrecte = "Fréquence incorrecte";

} // namespace

TDravoC::TDravoC(PortIo& ports, Platform* platform)
    : TDravoC(std::make_unique<LectureCarte>(ports), platform)
{
}

TDravoC::TDravoC(std::unique_ptr<LecteurTensions> source, Platform* platform)
    : TDravoC(*source, platform)
{
    lectureCarte_ = std::move(source);
}

TDravoC::TDravoC(LecteurTensions& source, Platform* platform)
    : source_(source), carte_(dynamic_cast<LectureCarte*>(&source)), platform_(platform)
{
    // The card on ports reads and configures at the unit's port map.
    if (carte_)
        carte_->Placer(PlanDesPorts::PourBase(static_cast<std::uint16_t>(PortVoie1)));
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
    const PlanDesPorts plan = UDravoC::PlacerPorts(static_cast<std::uint16_t>(kBaseAdresse + offset));
    if (carte_)
        carte_->Placer(plan);
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
    // Only the card has an 8255; another source has nothing to configure.
    if (carte_)
        carte_->EcrireControle(motDeControle);
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

    // The rate the source reads at for `frequence`, with its checks. A
    // frequency of zero is a division by zero for the card's timer (raised);
    // one the source does not have is replaced by the nearest it has, and
    // said so.
    const Cadence cadence = source_.CadencePour(frequence);
    if (!cadence.acceptee) {
        signaler(5, kMessageFrequenceIncorrecte);
    }

    Frequence = cadence.frequence;
    Duree = static_cast<std::uint32_t>(n) / Frequence;
    if (Duree > 60) {
        signaler(4, kMessageDureeTropLongue);
    }

    // The mean of no sample is 0/0. A negative count would otherwise make
    // about four thousand million passes with interrupts off.
    if (n < 1) {
        throw EInvalidOp();
    }

    // The source makes the reading; the rate it really used replaces the
    // one announced. A reading it cannot give is recorded in the status and
    // raised, for the run to stop on it.
    const Issue<LectureTensions> lecture = source_.Lire(n, frequence);
    if (!lecture) {
        signaler(lecture.Erreur().code, lecture.Message().c_str());
        throw ELectureImpossible(lecture.Message());
    }
    Frequence = lecture->frequence;
    Duree = static_cast<std::uint32_t>(n) / Frequence;
    TensionVoie1 = lecture->tensionVoie1;
    TensionVoie2 = lecture->tensionVoie2;
}
