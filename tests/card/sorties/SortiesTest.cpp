// The four output operations of the card component, with a recorded desktop:
// what reaches the clipboard, which file each save writes, and the bytes in it.
#include "SortiesCommun.h"

#include "card/sorties/ExempleMesures.h"
#include "runtime/Windows1252.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace {

class CopierMesures : public SortiesTest {};
class EnregistrementNumerote : public SortiesTest {};
class EnregistrerMesuresSous : public SortiesTest {};

// ---------------------------------------------------------------- clipboard

TEST_F(CopierMesures, worked_example_reaches_the_clipboard_as_93_bytes_of_text)
{
    RemplirExemple();

    P->CopierMesures(kPointsExemple, 0);

    // 93 bytes of text. Where the clipboard takes NUL-terminated blocks the
    // block is 94 bytes; the X11 and Qt clipboards carry the length instead,
    // so the NUL is not part of the data here.
    ASSERT_EQ(bureau_.textesPlaces.size(), 1u);
    EXPECT_EQ(bureau_.textesPlaces[0], kTexteExemple);
    EXPECT_EQ(bureau_.textesPlaces[0].size(), 93u);
    EXPECT_EQ(P->ServeurDde().Text, kTexteExemple);
    EXPECT_EQ(P->ServeurDde().FormatTag, "text");
    EXPECT_FALSE(fs::exists(Valeurs())) << "a copy writes no file";
}

TEST_F(CopierMesures, voltage_layout_reaches_the_clipboard_in_utf8_while_the_holder_keeps_windows_1252)
{
    const long double tensions[] = {1.01325, 1.01402, 1.01523, 1.01671, 1.01788};
    for (std::size_t i = 0; i < std::size(tensions); ++i)
        P->ModuleFFT[i] = tensions[i];

    P->CopierMesures(kPointsExemple, 2);

    const std::string attendu = "Fr\xE9quence en Hz\tModule de la FFT\r"
                                "0\t1,013\r0\t1,014\r0\t1,015\r0\t1,017\r0\t1,018\r";
    EXPECT_EQ(P->ServeurDde().Text, attendu);
    ASSERT_EQ(bureau_.textesPlaces.size(), 1u);
    EXPECT_EQ(bureau_.textesPlaces[0].substr(0, 16), "Fr\xC3\xA9quence en Hz");
    EXPECT_EQ(bureau_.textesPlaces[0], Windows1252ToUtf8(attendu));
}

TEST_F(CopierMesures, before_any_run_gives_the_header_and_one_row_of_zeros)
{
    P->CopierMesures(0, 0);

    ASSERT_EQ(bureau_.textesPlaces.size(), 1u);
    EXPECT_EQ(bureau_.textesPlaces[0], kTexteAvantMesure);
    EXPECT_EQ(P->CodeErreur, 12) << "the row count 0 is reported through the status only";
}

TEST_F(CopierMesures, refused_clipboard_raises_its_error_and_the_holder_keeps_the_new_text)
{
    RemplirExemple();
    bureau_.pressePapiersRefuse = true;

    try {
        P->CopierMesures(kPointsExemple, 0);
        FAIL() << "the copy went through a refused clipboard";
    } catch (const EClipboardException& erreur) {
        EXPECT_STREQ(erreur.what(), "Ne peut ouvrir le Presse-papiers");
    }
    EXPECT_EQ(P->ServeurDde().Text, kTexteExemple);
}

TEST_F(CopierMesures, component_without_platform_refuses_the_clipboard_and_the_dialog_but_saves_numbered_files)
{
    UDravoC::ReinitialiserEtatUnite();
    TDravoC seul(ports_, nullptr);
    UDravoC::RepertoireCourant = racine_ + "/";

    EXPECT_THROW(seul.CopierMesures(1, 0), std::logic_error);
    EXPECT_THROW(seul.EnregistrerMesuresSous(1, 0), std::logic_error);
    seul.EnregistrerMesures(1, 0);
    EXPECT_TRUE(fs::is_regular_file(Numerote(1)));
}

// ------------------------------------------------------------ numbered files

TEST_F(EnregistrementNumerote, first_save_creates_every_missing_folder_and_mesures1_of_95_bytes)
{
    UDravoC::RepertoireCourant = racine_ + "/classe/tp3/";
    RemplirExemple();

    P->EnregistrerMesures(kPointsExemple, 0);

    const std::string fichier = racine_ + "/classe/tp3/Valeurs/Mesures1.txt";
    EXPECT_EQ(UDravoC::NomDernierFichier, fichier);
    EXPECT_EQ(UDravoC::NumeroFichier, 1);
    const std::string octets = LireFichier(fichier);
    EXPECT_EQ(octets, kTexteExemple + "\r\n");
    ASSERT_EQ(octets.size(), 95u);
    EXPECT_EQ(octets.substr(92), "\x0D\x0D\x0A");
}

TEST_F(EnregistrementNumerote, second_save_rewrites_mesures1_and_after_its_deletion_the_next_takes_mesures2)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);

    P->MesuresVoie1[4] = 123456;
    P->EnregistrerMesures(kPointsExemple, 0);

    EXPECT_EQ(LireFichier(Numerote(1)).substr(79), "4,001\t1,235E5\r\r\n");
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));

    fs::remove(Numerote(1));
    P->EnregistrerMesures(kPointsExemple, 0);

    EXPECT_EQ(UDravoC::NumeroFichier, 2);
    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(2));
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures2.txt"}));
}

TEST_F(EnregistrementNumerote, output_folder_created_by_a_save_receives_the_example_measurement)
{
    P->EnregistrerNouveauFichier(1, 0);

    EXPECT_EQ(LireFichier(Valeurs() + "/Exemple.txt"), std::string(ExempleMesures::Contenu()));
    ASSERT_GT(ExempleMesures::Contenu().size(), 1000u);

    // Once removed, it stays away: only a folder created anew receives it.
    fs::remove(Valeurs() + "/Exemple.txt");
    P->EnregistrerNouveauFichier(1, 0);
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Mesures1.txt", "Mesures2.txt"}));
}

TEST_F(EnregistrementNumerote, output_folder_made_by_the_user_receives_no_example)
{
    fs::create_directories(Valeurs());

    P->EnregistrerMesures(1, 0);

    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Mesures1.txt"}));
}

TEST_F(EnregistrementNumerote, new_numbered_file_is_taken_at_every_call)
{
    P->EnregistrerNouveauFichier(3, 0);
    P->EnregistrerNouveauFichier(3, 0);

    EXPECT_EQ(UDravoC::NumeroFichier, 2);
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt", "Mesures2.txt"}));
}

TEST_F(EnregistrementNumerote, files_left_by_an_earlier_start_are_never_overwritten)
{
    // Given the numbers 1 to 3 taken by a file, a folder and a dangling link
    fs::create_directories(Valeurs());
    EcrireFichier(Numerote(1), "mesure d'hier");
    fs::create_directory(Numerote(2));
    fs::create_symlink(racine_ + "/nulle-part", Numerote(3));
    RemplirExemple();

    P->EnregistrerMesures(kPointsExemple, 0);

    EXPECT_EQ(UDravoC::NumeroFichier, 4);
    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(4));
    EXPECT_EQ(LireFichier(Numerote(4)), kTexteExemple + "\r\n");
    EXPECT_EQ(LireFichier(Numerote(1)), "mesure d'hier");
    EXPECT_FALSE(fs::exists(racine_ + "/nulle-part"));
}

TEST_F(EnregistrementNumerote, save_before_any_run_writes_the_header_and_one_row_of_zeros)
{
    P->EnregistrerMesures(0, 0);

    EXPECT_EQ(LireFichier(Numerote(1)), kTexteAvantMesure + "\r\n");
    EXPECT_EQ(P->CodeErreur, 12);
}

TEST_F(EnregistrementNumerote, last_name_that_became_a_folder_gives_a_new_numbered_file)
{
    UDravoC::NomDernierFichier = racine_ + "/un-dossier";
    fs::create_directory(UDravoC::NomDernierFichier);

    P->EnregistrerMesures(1, 0);

    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(1));
    EXPECT_TRUE(fs::is_regular_file(Numerote(1)));
}

// ----------------------------------------------------------------- save as

TEST_F(EnregistrerMesuresSous, cancel_writes_nothing_and_the_next_save_goes_to_the_same_file)
{
    RemplirExemple();
    P->EnregistrerMesures(kPointsExemple, 0);
    bureau_.nomTape.reset();

    P->EnregistrerMesuresSous(3, 0);

    EXPECT_EQ(bureau_.demandes.size(), 1u);
    EXPECT_EQ(P->NombreDePointsDeMesure, 3) << "the text is built before the dialog opens";
    EXPECT_EQ(UDravoC::NomDernierFichier, Numerote(1));
    EXPECT_EQ(LireFichier(Numerote(1)).size(), 95u);

    P->EnregistrerMesures(3, 0);

    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"Exemple.txt", "Mesures1.txt"}));
    EXPECT_EQ(LireFichier(Numerote(1)).size(), 39u + 3 * 10 + 2);
}

TEST_F(EnregistrerMesuresSous, dialog_shows_the_output_folder_without_creating_it)
{
    bureau_.nomTape.reset();

    P->EnregistrerMesuresSous(1, 0);

    ASSERT_EQ(bureau_.demandes.size(), 1u);
    EXPECT_EQ(bureau_.demandes[0].initialFolder, Valeurs());
    EXPECT_EQ(bureau_.demandes[0].defaultSuffix, "txt");
    EXPECT_TRUE(bureau_.demandes[0].fileName.empty());
    EXPECT_EQ(P->DialogueEnregistrement().InitialDir, Valeurs());
    EXPECT_EQ(P->DialogueEnregistrement().DefaultExt, "txt");
    EXPECT_FALSE(fs::exists(Valeurs()));
    EXPECT_TRUE(UDravoC::NomDernierFichier.empty());
}

TEST_F(EnregistrerMesuresSous, name_typed_without_extension_writes_a_txt_file_that_the_next_save_writes_again)
{
    fs::create_directories(Valeurs());
    RemplirExemple();
    bureau_.nomTape = "essai";

    P->EnregistrerMesuresSous(kPointsExemple, 0);

    const std::string essai = Valeurs() + "/essai.txt";
    EXPECT_EQ(UDravoC::NomDernierFichier, essai);
    EXPECT_EQ(LireFichier(essai), kTexteExemple + "\r\n");

    P->EnregistrerMesures(1, 0);

    EXPECT_EQ(LireFichier(essai), "Date, en s\tTension sur la voie 1, en V\r0\t1,013E5\r\r\n");
    EXPECT_EQ(Contenu(Valeurs()), (std::set<std::string>{"essai.txt"}));
    EXPECT_EQ(UDravoC::NumeroFichier, 0);

    // The dialog offers the name chosen last at its next use.
    bureau_.nomTape.reset();
    P->EnregistrerMesuresSous(1, 0);
    ASSERT_EQ(bureau_.demandes.size(), 2u);
    EXPECT_EQ(bureau_.demandes[1].fileName, essai);
}

TEST_F(EnregistrerMesuresSous, existing_file_is_replaced_once_the_user_says_yes_and_keeps_its_permissions)
{
    const std::string choisi = racine_ + "/cahier.txt";
    EcrireFichier(choisi, "ancien contenu, plus long que le nouveau texte de quarante-cinq octets");
    fs::permissions(choisi, fs::perms(0640));
    bureau_.nomTape = choisi;
    bureau_.reponses = {true};

    P->EnregistrerMesuresSous(0, 0);

    EXPECT_EQ(bureau_.questions, std::vector<std::string>{choisi});
    EXPECT_EQ(bureau_.demandes.size(), 1u);
    EXPECT_EQ(LireFichier(choisi), kTexteAvantMesure + "\r\n");
    EXPECT_EQ(fs::status(choisi).permissions(), fs::perms(0640));
    EXPECT_EQ(Contenu(racine_), (std::set<std::string>{"cahier.txt"})) << "no temporary file is left";
}

TEST_F(EnregistrerMesuresSous, no_to_the_replace_question_brings_the_dialog_back_and_leaves_the_file_untouched)
{
    // "Non", then the dialog that comes back is cancelled, or given another
    // name; that new name is saved without a question.
    const std::string cahier = Valeurs() + "/cahier.txt";
    const std::string autre = Valeurs() + "/autre.txt";
    P->EnregistrerMesures(1, 0); // Mesures1.txt: the file written last
    const std::string dernier = LireFichier(Numerote(1));
    EcrireFichier(cahier, "cahier d'un camarade");
    RemplirExemple();
    for (const bool autreNom : {false, true}) {
        SCOPED_TRACE(autreNom ? "Non, puis un autre nom" : "Non, puis Annuler");
        bureau_.demandes.clear();
        bureau_.questions.clear();
        bureau_.nomsTapesAvant = {"cahier.txt"};
        bureau_.nomTape = autreNom ? std::optional<std::string>("autre") : std::nullopt;
        bureau_.reponses = {false};

        P->EnregistrerMesuresSous(kPointsExemple, 0);

        EXPECT_EQ(bureau_.questions, std::vector<std::string>{cahier});
        ASSERT_EQ(bureau_.demandes.size(), 2u);
        EXPECT_EQ(bureau_.demandes[1].fileName, cahier) << "the dialog comes back with the name refused";
        EXPECT_EQ(LireFichier(cahier), "cahier d'un camarade");
        EXPECT_EQ(LireFichier(Numerote(1)), dernier);
        EXPECT_EQ(UDravoC::NomDernierFichier, autreNom ? autre : Numerote(1));
        EXPECT_EQ(P->DialogueEnregistrement().FileName, autreNom ? autre : "");
        EXPECT_EQ(LireFichier(autre), autreNom ? kTexteExemple + "\r\n" : "");
    }
}

TEST_F(EnregistrerMesuresSous, link_chosen_in_the_dialog_writes_the_file_it_points_to_and_stays_a_link)
{
    const std::string vrai = racine_ + "/vrai.txt";
    const std::string lien = racine_ + "/lien.txt";
    EcrireFichier(vrai, "avant");
    fs::create_symlink(vrai, lien);
    bureau_.nomTape = lien;

    P->EnregistrerMesuresSous(0, 0);

    EXPECT_TRUE(fs::is_symlink(lien));
    EXPECT_EQ(LireFichier(vrai), kTexteAvantMesure + "\r\n");
}

TEST_F(EnregistrerMesuresSous, new_file_gets_the_usual_permissions_of_a_created_file)
{
    const mode_t masque = ::umask(022);
    bureau_.nomTape = racine_ + "/nouveau.txt";

    P->EnregistrerMesuresSous(0, 0);

    ::umask(masque);
    EXPECT_EQ(fs::status(racine_ + "/nouveau.txt").permissions(), fs::perms(0644));
}

} // namespace
