// The conversation with a box played by the test on a pseudo-terminal: the
// probing at opening, the reading through the driver, each wrong answer.
#include "acquisition/boitier/BoitierUsb.h"
#include "acquisition/PortSelection.h"
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"
#include "tests/acquisition/support/FauxBoitier.h"

#include "tests/acquisition/support/ChienDeGarde.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Generous for answers (a loaded machine is slow), short where the box is
// meant to stay silent.
const DelaisBoitier kDelais{2000ms, 50ms, 30ms, 2000ms};
const DelaisBoitier kDelaisMuet{300ms, 50ms, 30ms, 300ms};
// A0 at 174/1024 of the supply through the MPX5700AP, in units of 100 kPa.
constexpr double kTension174 = (174 / 1024.0 - 0.04) / 0.0012858 / 100;

std::unique_ptr<BoitierUsb> Ouvrir(FauxBoitier& faux, const DelaisBoitier& delais = kDelais)
{
    Issue<std::unique_ptr<BoitierUsb>> boitier = BoitierUsb::Ouvrir(faux.Chemin(), delais, faux.Horloge());
    EXPECT_TRUE(boitier) << boitier.Message();
    return boitier ? std::move(boitier).Valeur() : nullptr;
}

// The message of a failed reading, "" when it gave one.
std::string Echec(BoitierUsb& boitier)
{
    const Issue<LectureTensions> lecture = boitier.Lire(314, 15700);
    return lecture ? "" : lecture.Message();
}

TEST(BoitierUsb, is_found_through_noise_and_probes_its_bootloader_ate)
{
    const ChienDeGarde garde;
    std::atomic<int> lignes = 0;
    FauxBoitier faux([normal = FauxBoitier::Normal("MPX4250AP", 1, 2), &lignes](const std::string& ligne) {
        return ++lignes <= 2 ? std::string() : normal(ligne);
    });
    faux.Envoyer(std::string("\x00\xF0\xFF\r\n\x7Fgarbage", 13));

    const std::unique_ptr<BoitierUsb> boitier = Ouvrir(faux);

    ASSERT_NE(boitier, nullptr);
    EXPECT_EQ(boitier->Description(), "boîtier USB, capteur MPX4250AP"); // the window's caption says it
    EXPECT_GE(lignes, 3);
}

TEST(BoitierUsb, a_silent_port_a_foreign_firmware_or_a_file_is_not_taken_for_a_box)
{
    const ChienDeGarde garde;
    FauxBoitier muet([](const std::string&) { return std::string(); });
    FauxBoitier autre([](const std::string&) { return std::string("ID NELVAR-BOITIER 2 MPX5700AP\n"); });
    // The message of an open that fails; "" when it gives a box.
    const auto refus = [](Issue<std::unique_ptr<BoitierUsb>> ouverture) {
        return ouverture ? std::string() : ouverture.Message();
    };
    EXPECT_EQ(refus(BoitierUsb::Ouvrir(muet.Chemin(), kDelaisMuet, muet.Horloge())), "Aucun boîtier de mesure ne répond sur " + muet.Chemin()
                           + " : vérifiez que la carte porte le micrologiciel du programme (voir « Boîtier de "
                             "mesure USB » dans le README).");
    EXPECT_GE(muet.Recues(), (std::vector<std::string>{"ID", "ID"}));
    EXPECT_EQ(refus(BoitierUsb::Ouvrir(autre.Chemin(), kDelaisMuet, autre.Horloge())).rfind("Le boîtier de mesure " + autre.Chemin() + " s'annonce « ID NELVAR-BOITIER 2 MPX5700AP »", 0), 0u);
    EXPECT_EQ(refus(BoitierUsb::Ouvrir("/dev/null", kDelaisMuet)), "/dev/null n'est pas un port série : ce ne peut pas être un boîtier de mesure.");
    EXPECT_NE(BoitierUsb::MessageOuverture("/dev/ttyACM0", EACCES).find("« sudo adduser $USER dialout », puis fermez "
                                                                          "la session et reconnectez-vous."),
              std::string::npos);
}

TEST(BoitierUsb, the_driver_gets_the_boxs_reading_behind_its_own_checks)
{
    const ChienDeGarde garde;
    UDravoC::ReinitialiserEtatUnite();
    FauxBoitier faux(FauxBoitier::Normal("MPX5700AP", 174, 3));
    const std::unique_ptr<BoitierUsb> boitier = Ouvrir(faux);
    ASSERT_NE(boitier, nullptr);
    TDravoC carte(*boitier);

    carte.MesurerTensions(314, 15700);
    EXPECT_EQ(carte.CodeErreur, 0);
    EXPECT_NEAR(carte.TensionVoie1, kTension174, 1e-12);

    // The card's own checks come first: nothing is asked of the box.
    EXPECT_THROW(carte.MesurerTensions(0, 15700), EInvalidOp);
    EXPECT_EQ(faux.Recues().back(), "M 314 15700");
    // What the box cannot do fails with the status of a failed reading.
    EXPECT_THROW(carte.MesurerTensions(100, 50), ELectureImpossible);
    EXPECT_EQ(carte.CodeErreur, 7);
    EXPECT_EQ(carte.MessageErreur, "Le boîtier de mesure ne sait pas faire cette lecture : de 1 à 4096 échantillons, "
                                   "de 100 à 20000 Hz, pendant 2 s au plus.");
}

TEST(BoitierUsb, each_wrong_answer_fails_the_reading_and_the_next_one_works)
{
    const ChienDeGarde garde;
    const std::pair<std::string, std::string> cas[] = {
        {"ERR 2 argument incorrect\n", "Le boîtier de mesure refuse une lecture de 314 échantillons à 15700 Hz."},
        {"ID NELVAR-BOITIER 1 MPX5700AP\r\n", "Le boîtier de mesure a redémarré pendant la lecture (mauvais contact "
                                             "ou alimentation insuffisante ?) : mesure abandonnée."},
        {"M 314 1019\xFF\n", "Le boîtier de mesure a donné une réponse incorrecte : « M 314 1019? »."},
        {"", "Le boîtier de mesure ne répond plus."}, // the next reading probes the box again
    };
    for (const auto& [reponse, message] : cas) {
        std::atomic<bool> enPanne = true;
        FauxBoitier faux([&, normal = FauxBoitier::Normal("MPX5700AP", 174, 3)](const std::string& ligne) {
            return ligne != "ID" && enPanne.exchange(false) ? reponse : normal(ligne);
        });
        const std::unique_ptr<BoitierUsb> boitier = Ouvrir(faux, {2000ms, 50ms, 30ms, 300ms});
        ASSERT_NE(boitier, nullptr);

        EXPECT_EQ(Echec(*boitier), message);
        EXPECT_NEAR(boitier->Lire(314, 15700)->tensionVoie1, kTension174, 1e-12) << message;
    }
}

// A box gone silent, or unplugged, is let go: the next reading opens its
// port again and reaches the box now plugged in there.
TEST(BoitierUsb, the_reading_after_a_silent_or_unplugged_box_opens_the_port_again)
{
    const ChienDeGarde garde;
    namespace fs = std::filesystem;
    const fs::path dossier = fs::temp_directory_path() / ("boitier-" + std::to_string(::getpid()));
    const fs::path port = dossier / "ttyACM0";
    for (const bool debranche : {false, true}) {
        SCOPED_TRACE(debranche ? "unplugged" : "silent");
        fs::remove_all(dossier);
        fs::create_directories(dossier);
        FauxBoitier premier([normal = FauxBoitier::Normal("MPX5700AP", 1, 1)](const std::string& ligne) {
            return ligne == "ID" ? normal(ligne) : std::string();
        });
        fs::create_symlink(premier.Chemin(), port);
        Issue<std::unique_ptr<BoitierUsb>> ouverture = BoitierUsb::Ouvrir(port.string(), {2000ms, 50ms, 30ms, 300ms});
        ASSERT_TRUE(ouverture) << ouverture.Message();
        const std::unique_ptr<BoitierUsb> boitier = std::move(ouverture).Valeur();
        if (debranche)
            premier.Debrancher();
        EXPECT_EQ(Echec(*boitier), "Le boîtier de mesure ne répond plus.");

        FauxBoitier second(FauxBoitier::Normal("MPX5700AP", 174, 3));
        fs::remove(port);
        fs::create_symlink(second.Chemin(), port);
        EXPECT_NEAR(boitier->Lire(314, 15700)->tensionVoie1, kTension174, 1e-12);
    }
    fs::remove_all(dossier);
}

} // namespace
