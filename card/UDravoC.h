#pragma once
// The acquisition card component: driver of the two-channel converter and
// the 8255 of the card, holder of the result table and its text layouts,
// clipboard and file output, and the two author links. Its measurements come
// from a source of acquisition/ (acquisition/LecteurTensions.h).
//
// The members are defined in several files:
//   UDravoC.cpp               construction, properties, status, port map, MesurerTensions
//   sorties/TexteMesures.cpp  the result table's text layouts
//   sorties/Sorties.cpp       clipboard and file output
//   Liens.cpp                 AccederAuSite, EcrireAuteur
#include "acquisition/LecteurTensions.h"
#include "acquisition/PortIo.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class LectureCarte;
class Platform;
class TDravoC;

enum class TlisteCartes : std::uint8_t { Candibus };

// Directions of the 8255 ports (a set bit of the control word makes the port an input).
enum TlisteConfigurations : std::uint8_t {
    aSortie_bcEntree = 0, // control word 0x8B
    abcEntree = 1,        // 0x9B
    acEntree_bSortie = 2, // 0x99
    abEntree_cSortie = 3, // 0x92
};

enum TSeparateurDecimal : std::uint8_t { virgule, point };

using TAdrOffs = std::uint16_t; // 0..368
using TNotifyEvent = std::function<void(TDravoC& sender)>;

// Unit-level state, shared by every component (the program has one).
namespace UDravoC {
inline constexpr std::uint16_t kBaseAdresse = kBaseCarte;
extern std::uint16_t PortVoie1;    // 0x280
extern std::uint16_t PortVoie2;    // 0x282
extern std::uint16_t PortA;        // 0x28C
extern std::uint16_t PortB;        // 0x28D
extern std::uint16_t PortC;        // 0x28E
extern std::uint16_t PortControle; // 0x28F
extern std::string RepertoireCourant; // working directory at construction, followed by "/"
extern std::string NomDernierFichier; // full name of the file the last save chose
extern std::int32_t NumeroFichier;    // number of the last numbered file
extern double PasFrequenceFFT;        // frequency step of layouts 2 to 4; always 0

// Forgets the file written last, at the start of a run: the table no longer
// holds what that file holds, so the run's first "Enregistrer" takes a new
// number instead of replacing the earlier run's file; saving again in the
// same stopped run rewrites that run's file.
void OublierDernierFichier();

// Puts every unit-level variable back to its value at program start.
// For tests, which each need a fresh program state.
void ReinitialiserEtatUnite();
} // namespace UDravoC

// The clipboard text holder: one text and its format tag.
struct TDdeServerItem {
    std::string Text;      // Windows-1252 bytes
    std::string FormatTag; // "text" once a text was given
};

// The file-save dialog's settings, kept between uses.
struct TSaveDialog {
    std::string InitialDir;
    std::string DefaultExt;
    std::string FileName; // the name chosen last, offered again
};

class TDravoC {
public:
    static constexpr int kLignesTableau = 1025;
    using Colonne = std::array<long double, kLignesTableau>;

    // `source` gives the channels' voltages; when it is the card on ports
    // (acquisition/LectureCarte.h) it also takes the port map and the 8255's
    // control word; `platform` reaches the clipboard, the save dialog and the
    // desktop's open service (may be null where no output is used). Both
    // must outlive the component.
    explicit TDravoC(LecteurTensions& source, Platform* platform = nullptr);
    // The card on `ports`, read through them (acquisition/LectureCarte.h).
    explicit TDravoC(PortIo& ports, Platform* platform = nullptr);
    virtual ~TDravoC() = default;
    TDravoC(const TDravoC&) = delete;
    TDravoC& operator=(const TDravoC&) = delete;

    // Where the voltages come from.
    const LecteurTensions& Source() const { return source_; }
    LecteurTensions& Source() { return source_; }

    // Published properties.
    TAdrOffs AdressOffset() const { return adressOffset_; }
    void SetAdressOffset(TAdrOffs value);
    TlisteConfigurations Configuration() const { return configuration_; }
    void SetConfiguration(TlisteConfigurations value);
    TlisteCartes NomCarte = TlisteCartes::Candibus;
    std::int32_t NombreDePointsDeMesure = 256;
    TSeparateurDecimal SepDecimalPourTransfert = virgule;
    TNotifyEvent OnNeFaitRien; // stored, never fired
    TNotifyEvent OnUsing;      // fired by DoUsing

    // Status of the last operation, and the results of the last read.
    std::string MessageErreur; // UTF-8; empty when no error
    std::int32_t CodeErreur = 0;
    double Frequence = 0;
    double Duree = 0;
    double TensionVoie1 = 0;
    double TensionVoie2 = 0;

    // The result table: every entry 0 at construction.
    Colonne MesuresVoie1{};
    Colonne MesuresVoie2{};
    Colonne ModuleFFT{};
    Colonne PartieReelleFFT{};
    Colonne PartieImaginaireFFT{};

    // Driver.
    void EcrireControle(std::uint8_t motDeControle);
    void MesurerTensions(std::int32_t nombreDEchantillons, double frequence);

    // The status message of a row count the table text cannot lay out: 0
    // (the table then gets one row of zeros) or more than 1024 (cut to 1024).
    static constexpr const char* kNombreDePointsIncorrect = "Nombre de points incorrect";

    // Text of the result table in layout `disposition` (0..5; any other gives
    // an empty text), as Windows-1252 bytes with CR after every line.
    std::string TexteMesures(std::uint16_t nombreDePoints, std::uint8_t disposition);

    // Output of that text.
    void CopierMesures(std::uint16_t nombreDePoints, std::uint8_t disposition);
    void EnregistrerNouveauFichier(std::uint16_t nombreDePoints, std::uint8_t disposition);
    void EnregistrerMesures(std::uint16_t nombreDePoints, std::uint8_t disposition);
    void EnregistrerMesuresSous(std::uint16_t nombreDePoints, std::uint8_t disposition);

    // Author links. Each returns whether the desktop opened the address
    // (false without desktop services); the status is cleared either way.
    bool AccederAuSite(const std::string& adresse);
    bool EcrireAuteur(const std::string& adresse);

    TDdeServerItem& ServeurDde() { return serveurDde_; }
    TSaveDialog& DialogueEnregistrement() { return dialogueEnregistrement_; }
    Platform* PlateForme() const { return platform_; }

protected:
    virtual void DoUsing();

private:
    void EffacerEtat(); // empty message, code 0

    TDravoC(std::unique_ptr<LecteurTensions> source, Platform* platform);

    LecteurTensions& source_;
    LectureCarte* carte_; // the source when it is the card on ports, which has a port map and an 8255
    std::unique_ptr<LecteurTensions> lectureCarte_; // the source when the component made it
    Platform* platform_;
    TDdeServerItem serveurDde_;
    TSaveDialog dialogueEnregistrement_;
    TAdrOffs adressOffset_ = 0;
    TlisteConfigurations configuration_ = aSortie_bcEntree;
};
