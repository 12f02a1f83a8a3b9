// The result table's text layouts: a header line, then one line per row,
// fields separated by TAB, every line ended by CR, numbers at precision 4
// with the export's decimal separator. The text is Windows-1252 bytes.
#include "card/UDravoC.h"

#include "numtext/NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr int kPrecisionExport = 4;
constexpr std::int32_t kCodeNombreDePoints = 12;
constexpr std::uint16_t kLignesMaxTexte = 1024; // row 1024 is never laid out
// Longest field at precision 4: "-1,235E-4951".
constexpr std::size_t kLongueurMaxChamp = 12;

constexpr char kTab = '\t';
constexpr char kCr = '\r';

// Header fields, Windows-1252: "\xE9" is "é".
constexpr std::string_view kDate = "Date, en s";
constexpr std::string_view kVoie1 = "Tension sur la voie 1, en V";
constexpr std::string_view kVoie2 = "Tension sur la voie 2, en V";
constexpr std::string_view kFrequence = "Fr\xE9quence en Hz";
constexpr std::string_view kModule = "Module de la FFT";
constexpr std::string_view kReelle = "Partie r\xE9" "elle de la FFT";
constexpr std::string_view kImaginaire = "Partie imaginaire de la FFT";

// Status messages, UTF-8 like every message inside the program.
constexpr const char* kNombreIncorrect = TDravoC::kNombreDePointsIncorrect;
constexpr const char* kFrequenceIncorrecte = "Fréquence incorrecte";

// One layout: the header fields, whether the first field steps in time or
// in frequency, and the columns of the other fields.
struct Disposition {
    int nombreColonnes; // 1 or 2 table columns after the step field
    std::string_view entetes[3];
    bool pasDeTemps;
    const TDravoC::Colonne TDravoC::*colonnes[2];
};

const Disposition kDispositions[] = {
    {1, {kDate, kVoie1}, true, {&TDravoC::MesuresVoie1, nullptr}},
    {1, {kDate, kVoie2}, true, {&TDravoC::MesuresVoie2, nullptr}},
    {1, {kFrequence, kModule}, false, {&TDravoC::ModuleFFT, nullptr}},
    {2, {kFrequence, kReelle, kImaginaire}, false, {&TDravoC::PartieReelleFFT, &TDravoC::PartieImaginaireFFT}},
    {2, {kFrequence, kReelle, kImaginaire}, false, {&TDravoC::PartieReelleFFT, &TDravoC::PartieImaginaireFFT}},
    {2, {kDate, kVoie1, kVoie2}, true, {&TDravoC::MesuresVoie1, &TDravoC::MesuresVoie2}},
};
constexpr std::size_t kNombreDispositions = std::size(kDispositions);

} // namespace

std::string TDravoC::TexteMesures(std::uint16_t nombreDePoints, std::uint8_t disposition)
{
    // The export's own separator, passed to each number: the window's
    // setting is neither read nor changed.
    const char separateur = SepDecimalPourTransfert == point ? '.' : ',';

    MessageErreur.clear();
    std::uint16_t lignes = nombreDePoints;
    if (lignes == 0) {
        lignes = 1;
        MessageErreur = kNombreIncorrect;
        CodeErreur = kCodeNombreDePoints;
        DoUsing();
    }
    if (lignes > kLignesMaxTexte) {
        lignes = kLignesMaxTexte;
        MessageErreur = kNombreIncorrect;
        CodeErreur = kCodeNombreDePoints;
        DoUsing();
    }
    NombreDePointsDeMesure = lignes;

    double pasDeTemps = 1.0;
    if (Frequence == 0 || std::isnan(Frequence))
        MessageErreur = kFrequenceIncorrecte;
    else
        pasDeTemps = 1.0 / Frequence;
    const double pasDeFrequence = UDravoC::PasFrequenceFFT;

    std::string texte;
    if (disposition >= kNombreDispositions)
        return texte;
    const Disposition& d = kDispositions[disposition];
    const int champs = d.nombreColonnes + 1;

    std::size_t longueurEntete = 0;
    for (int c = 0; c < champs; ++c)
        longueurEntete += d.entetes[c].size() + 1;
    texte.reserve(longueurEntete + static_cast<std::size_t>(lignes) * champs * (kLongueurMaxChamp + 1));

    for (int c = 0; c < champs; ++c) {
        texte += d.entetes[c];
        texte += c + 1 < champs ? kTab : kCr;
    }
    const long double pas = d.pasDeTemps ? pasDeTemps : pasDeFrequence;
    for (std::uint16_t i = 0; i < lignes; ++i) {
        texte += FormatGeneral(static_cast<long double>(i) * pas, kPrecisionExport, separateur);
        for (int c = 0; c < d.nombreColonnes; ++c) {
            texte += kTab;
            texte += FormatGeneral((this->*d.colonnes[c])[i], kPrecisionExport, separateur);
        }
        texte += kCr;
    }
    return texte;
}
