// Output of the result table's text: to the clipboard, to a new numbered
// file of the folder "Valeurs", to the file written last, or to a file chosen
// in the save dialog.
#include "card/sorties/ExempleMesures.h"
#include "runtime/FichierTexte.h"
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"
#include "runtime/Platform.h"
#include "runtime/Windows1252.h"

#include <exception>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace {

const char* const kDossierSortie = "Valeurs";
const char* const kPrefixeNumerote = "/Mesures";
const char* const kSuffixeNumerote = ".txt";
const char* const kExtensionParDefaut = "txt";
const char* const kFinDeFichier = "\r\n"; // after the text, whose lines end with CR already
const char* const kFormatTexte = "text";

std::string DossierSortie()
{
    return UDravoC::RepertoireCourant + kDossierSortie;
}

std::string ContenuFichier(const std::string& texte)
{
    return texte + kFinDeFichier;
}

// The next numbered name of `dossier`. Each number is taken before its file
// is named, so a save that fails still uses its number up.
std::string NomNumeroteSuivant(const std::string& dossier)
{
    ++UDravoC::NumeroFichier;
    return dossier + kPrefixeNumerote + std::to_string(UDravoC::NumeroFichier) + kSuffixeNumerote;
}

// A new output folder receives the example measurement, for a first look at
// a measurement file. It is a bonus, placed once the user's own file is
// written: it never takes the room that file needs, and failing to write it
// never turns a save into a failure (a failed creation leaves no file).
void PlacerExemple(const std::string& dossier)
{
    try {
        FichierTexte::CreerNouveau(dossier + "/" + ExempleMesures::kNomFichier, ExempleMesures::Contenu());
    } catch (const std::exception&) {
    }
}

Platform& PlateFormeRequise(Platform* platform, const char* operation)
{
    if (platform == nullptr)
        throw std::logic_error(std::string("TDravoC::") + operation +
                               ": the component was constructed without a Platform");
    return *platform;
}

} // namespace

void TDravoC::CopierMesures(std::uint16_t nombreDePoints, std::uint8_t disposition)
{
    const std::string texte = TexteMesures(nombreDePoints, disposition);
    // The holder takes the text whole, without splitting it into lines.
    serveurDde_.Text = texte;
    serveurDde_.FormatTag = kFormatTexte;
    // The clipboard of the desktop takes text as UTF-8: the same characters,
    // lines still ended by CR alone, as a spreadsheet pastes them.
    PlateFormeRequise(platform_, "CopierMesures").PlaceOnClipboard(Windows1252ToUtf8(serveurDde_.Text));
}

void TDravoC::EnregistrerNouveauFichier(std::uint16_t nombreDePoints, std::uint8_t disposition)
{
    const std::string contenu = ContenuFichier(TexteMesures(nombreDePoints, disposition));
    const std::string dossier = DossierSortie();
    const bool dossierCree = !FichierTexte::EstDossier(dossier) && FichierTexte::CreerDossiers(dossier);

    // Numbering starts again at 1 at every start of the program, while the
    // files of an earlier start stay in the folder: a number whose file
    // exists already is passed over, so no earlier measurement is overwritten.
    // The file is written once, then named with the first free number.
    try {
        UDravoC::NomDernierFichier = NomNumeroteSuivant(dossier);
        FichierTexte::NouveauFichier fichier(UDravoC::NomDernierFichier, contenu);
        while (!fichier.Nommer(UDravoC::NomDernierFichier))
            UDravoC::NomDernierFichier = NomNumeroteSuivant(dossier);
    } catch (...) {
        // The folder this save created goes with it (it is empty, as the
        // failed save left no file): the next save creates it anew and
        // places the example then.
        if (dossierCree)
            ::rmdir(dossier.c_str());
        throw;
    }
    if (dossierCree)
        PlacerExemple(dossier);
}

void TDravoC::EnregistrerMesures(std::uint16_t nombreDePoints, std::uint8_t disposition)
{
    if (UDravoC::NomDernierFichier.empty() || !FichierTexte::EstFichier(UDravoC::NomDernierFichier)) {
        EnregistrerNouveauFichier(nombreDePoints, disposition);
        return;
    }
    // A link found in the last file's place (put there by someone else) is
    // replaced by the file, never followed: the save cannot be sent into
    // another file.
    FichierTexte::Remplacer(UDravoC::NomDernierFichier, ContenuFichier(TexteMesures(nombreDePoints, disposition)),
                            FichierTexte::Lien::Remplace);
}

void TDravoC::EnregistrerMesuresSous(std::uint16_t nombreDePoints, std::uint8_t disposition)
{
    // Built before the dialog opens: its status effects happen even when the
    // user cancels.
    const std::string contenu = ContenuFichier(TexteMesures(nombreDePoints, disposition));

    // The output folder, which the dialog shows first but does not create.
    dialogueEnregistrement_.InitialDir = DossierSortie();
    dialogueEnregistrement_.DefaultExt = kExtensionParDefaut;
    SaveDialogRequest demande{dialogueEnregistrement_.InitialDir, dialogueEnregistrement_.DefaultExt,
                              dialogueEnregistrement_.FileName};
    Platform& plateForme = PlateFormeRequise(platform_, "EnregistrerMesuresSous");
    auto choix = plateForme.ChooseSaveFileName(demande);
    // An existing file is replaced only when the user says so. "Non" brings
    // the dialog back, offering the name refused, to be changed or cancelled:
    // nothing is written, and the name offered next time stays the one before.
    while (choix && FichierTexte::EstFichier(*choix) && !plateForme.ConfirmReplace(*choix)) {
        demande.fileName = *choix;
        choix = plateForme.ChooseSaveFileName(demande);
    }
    if (!choix)
        return;
    dialogueEnregistrement_.FileName = *choix;
    UDravoC::NomDernierFichier = *choix;
    // A link the user chose in the dialog is followed: the file it points to
    // receives the table.
    FichierTexte::Remplacer(UDravoC::NomDernierFichier, contenu, FichierTexte::Lien::Suivi);
}
