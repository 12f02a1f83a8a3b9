// Finding a box at start: the boards' USB serial ports in a fake sysfs tree,
// and the source chosen from them.
#include "acquisition/boitier/DetectionBoitier.h"
#include "acquisition/PortSelection.h"
#include "tests/acquisition/support/FauxBoitier.h"
#include "tests/support/SharedTempDir.h"

#include "tests/acquisition/support/ChienDeGarde.h"

#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A sysfs tree and a /dev folder in a fresh temporary folder.
class ArbreSysfs : public ::testing::Test {
protected:
    ArbreSysfs()
    {
        fs::remove_all(racine);
        fs::create_directories(racine / "class/tty");
        fs::create_directories(racine / "dev");
        recherche = {racine / "class/tty", racine / "dev", {300ms, 50ms, 30ms, 2000ms}};
    }
    ~ArbreSysfs() override { fs::remove_all(racine); }

    // A terminal whose device is `peripherique` (under devices/), inside a
    // USB device of identifiers `usb` ("vvvv:pppp", or none) `niveaux` up.
    void Terminal(const std::string& nom, const std::string& peripherique, const std::string& usb = "", int niveaux = 1)
    {
        const fs::path dossier = racine / "devices" / peripherique;
        fs::create_directories(dossier);
        if (!usb.empty()) {
            fs::path haut = dossier;
            for (int n = 0; n < niveaux; ++n)
                haut = haut.parent_path();
            std::ofstream(haut / "idVendor") << usb.substr(0, 4) << "\n";
            std::ofstream(haut / "idProduct") << usb.substr(5) << "\n";
        }
        fs::create_directories(racine / "class/tty" / nom);
        fs::create_directory_symlink(fs::relative(dossier, racine / "class/tty" / nom), racine / "class/tty" / nom / "device");
    }

    const fs::path racine = SharedTempDir() / ("sysfs-" + std::to_string(::getpid()));
    RechercheBoitier recherche;
};

TEST_F(ArbreSysfs, lists_the_boards_terminals_and_no_other_serial_port)
{
    Terminal("ttyUSB0", "usb1/1-2/1-2:1.0/ttyUSB0", "1a86:7523", 2); // CH340: port, interface, device
    Terminal("ttyACM0", "usb1/1-1/1-1:1.0", "2341:0043");            // Uno: interface, device
    Terminal("ttyUSB1", "usb1/1-3/1-3:1.0/ttyUSB1", "10c4:ea60", 2); // a chip no board of ours carries
    Terminal("ttyUSB2", "usb1/1-5/1-5:1.0/ttyUSB2", "0403:6001", 2); // a Nano's FTDI chip
    Terminal("ttyACM1", "usb1/1-4/1-4:1.0", "2341:zz43");            // unreadable identifiers
    Terminal("ttyS0", "platform/serial8250");
    fs::create_directories(racine / "class/tty/tty0"); // a virtual terminal: no device

    EXPECT_EQ(PortsDeCartesUsb(recherche.classeTty, recherche.dev),
              (std::vector<std::string>{(racine / "dev/ttyACM0").string(), (racine / "dev/ttyUSB0").string(),
                                        (racine / "dev/ttyUSB2").string()}));
}

TEST_F(ArbreSysfs, a_box_plugged_in_is_found_a_silent_board_passed_over_and_else_the_simulated_card_starts)
{
    const ChienDeGarde garde;
    FauxBoitier muet([](const std::string&) { return std::string(); });
    FauxBoitier boitier(FauxBoitier::Normal("MPX4250AP", 500, 0));
    Terminal("ttyACM0", "usb1/1-1/1-1:1.0", "2341:0043");
    Terminal("ttyACM1", "usb1/1-2/1-2:1.0", "2341:0043");
    fs::create_symlink(muet.Chemin(), racine / "dev/ttyACM0");
    fs::create_symlink(boitier.Chemin(), racine / "dev/ttyACM1");

    const Issue<std::unique_ptr<LecteurTensions>> source = OuvrirPorts(nullptr, recherche);
    ASSERT_TRUE(source) << source.Message();
    const auto* trouve = dynamic_cast<BoitierUsb*>(source->get());
    ASSERT_NE(trouve, nullptr);
    EXPECT_EQ(trouve->Chemin(), (racine / "dev/ttyACM1").string());

    fs::remove(racine / "dev/ttyACM1");
    const Issue<std::unique_ptr<LecteurTensions>> sans = OuvrirPorts(nullptr, recherche);
    ASSERT_TRUE(sans) << sans.Message();
    EXPECT_EQ((*sans)->Description(), "carte simulée");
}

TEST_F(ArbreSysfs, a_box_found_whose_port_the_user_may_not_open_stops_the_start_with_the_dialout_advice)
{
    const ChienDeGarde garde;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to become a user outside the terminal's group";
    FauxBoitier boitier(FauxBoitier::Normal("MPX5700AP", 500, 0));
    Terminal("ttyACM0", "usb1/1-1/1-1:1.0", "2341:0043");
    fs::create_symlink(boitier.Chemin(), racine / "dev/ttyACM0");
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the fake box runs a thread
    const std::string attendu = BoitierUsb::MessageOuverture((racine / "dev/ttyACM0").string(), EACCES)
                                + " (Sans boîtier branché, le programme démarre avec la carte simulée.)";
    EXPECT_EXIT(
        {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                std::_Exit(2);
            const Issue<std::unique_ptr<LecteurTensions>> refus = OuvrirPorts(nullptr, recherche);
            std::_Exit(!refus && refus.Message() == attendu ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ArbreSysfs, a_box_named_by_its_path_is_used_or_the_start_is_refused)
{
    const ChienDeGarde garde;
    FauxBoitier boitier(FauxBoitier::Normal("MPX5700AP", 500, 0));
    const Issue<std::unique_ptr<LecteurTensions>> trouve = OuvrirPorts(boitier.Chemin().c_str(), recherche);
    ASSERT_TRUE(trouve) << trouve.Message();
    EXPECT_NE(dynamic_cast<BoitierUsb*>(trouve->get()), nullptr);

    const std::string absent = (racine / "dev/ttyACM9").string();
    const Issue<std::unique_ptr<LecteurTensions>> refus = OuvrirPorts(absent.c_str(), recherche);
    ASSERT_FALSE(refus);
    EXPECT_EQ(refus.Message(), "Boîtier de mesure demandé (NELVAR_PORTS=" + absent + ") : Le boîtier de mesure " + absent
                           + " est introuvable : branchez-le, ou vérifiez le nom du port.");
}

} // namespace
