// The choice between the simulated card and the real ports. The real ports
// themselves are never opened here; only the refusal texts are checked.
#include "acquisition/PortSelection.h"
#include "acquisition/RealPorts.h"
#include "acquisition/LectureCarte.h"
#include "tests/acquisition/support/FakePorts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <vector>

namespace {

TEST(PortSelection, the_simulated_card_is_the_default_and_labelled_as_such_and_the_card_s_ports_are_not)
{
    // With no box plugged in (a sysfs with no terminal) when unset.
    RechercheBoitier sansBoitier;
    sansBoitier.classeTty = "/nonexistent";
    for (const char* choix : {static_cast<const char*>(nullptr), "", "simulation"}) {
        SCOPED_TRACE(choix ? choix : "(unset)");
        const Issue<std::unique_ptr<LecteurTensions>> source = OuvrirPorts(choix, sansBoitier);
        ASSERT_TRUE(source) << source.Message();
        ASSERT_NE(*source, nullptr);
        EXPECT_EQ((*source)->Description(), "carte simulée");
    }
    // Ports that are neither the simulation nor a box: the real card's case.
    FakePorts ports;
    EXPECT_EQ(LectureCarte(ports).Description(), "");
}

TEST(PortSelection, an_unknown_choice_is_refused_with_a_message_naming_the_variable)
{
    const Issue<std::unique_ptr<LecteurTensions>> source = OuvrirPorts("Reel ");

    ASSERT_FALSE(source);
    EXPECT_EQ(source.Message(), "NELVAR_PORTS=Reel  : valeur inconnue. Mettez « reel » pour la carte réelle, le chemin du "
                       "port d'un boîtier de mesure USB (par exemple « /dev/ttyACM0 »), ou « simulation » (ou rien) "
                       "pour la carte simulée.");
}

TEST(PortSelection, the_default_simulated_card_runs_on_the_real_clock)
{
    const Issue<std::unique_ptr<LecteurTensions>> ouverture = OuvrirPorts("simulation");
    ASSERT_TRUE(ouverture) << ouverture.Message();
    LecteurTensions* source = ouverture->get();
    // A read at 15 700 Hz: its timer output, read on the monotonic clock,
    // rises N + 1 times within the read's bound on its polling time; on a
    // clock that stood still the read would give up.
    const Issue<LectureTensions> lecture = source->Lire(314, 15700);
    ASSERT_TRUE(lecture) << lecture.Message();
    EXPECT_EQ(lecture->frequence, 1193200.0 / 76);
}

TEST(RealPortsRefusal, explains_what_to_do_for_each_cause)
{
    const std::string intro = "Carte réelle demandée (NELVAR_PORTS=reel), mais ";
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
    EXPECT_EQ(RealPorts::RefusalMessage(EPERM, false, "/opt/nelvar"),
              intro + "l'accès direct aux ports d'entrée-sortie est refusé : le programme n'a pas le droit "
                      "CAP_SYS_RAWIO. Donnez-le-lui une fois pour toutes avec « sudo setcap cap_sys_rawio+ep "
                      "/opt/nelvar », ou lancez-le avec sudo.");
    EXPECT_EQ(RealPorts::RefusalMessage(EPERM, true, "/opt/nelvar"),
              intro + "le noyau est verrouillé (lockdown, le plus souvent parce que le démarrage sécurisé UEFI "
                      "est actif) et interdit l'accès direct aux ports d'entrée-sortie.");
    EXPECT_EQ(RealPorts::RefusalMessage(ENOSYS, false, "/opt/nelvar"),
              intro + "ce noyau est compilé sans l'accès direct aux ports d'entrée-sortie "
                      "(CONFIG_X86_IOPL_IOPERM).");
    EXPECT_EQ(RealPorts::RefusalMessage(EINVAL, false, "/opt/nelvar").rfind(intro + "l'accès direct", 0), 0u);
#else
    EXPECT_EQ(RealPorts::RefusalMessage(EPERM, false, "/opt/nelvar"),
              intro + "l'accès direct aux ports d'entrée-sortie n'existe que sous Linux sur un PC à processeur x86.");
#endif
}

TEST(RealPortsRefusal, says_how_to_install_instead_of_setuid_and_of_root_without_sudo)
{
    const std::string intro = "Carte réelle demandée (NELVAR_PORTS=reel), mais ";
    EXPECT_EQ(RealPorts::StartRefusalMessage(true, "/usr/bin/nelvar"),
              intro + "le programme est installé avec le droit setuid ou setgid : tout utilisateur choisirait alors "
                      "ce qui s'exécute avec les droits de son propriétaire, et il refuse de fonctionner ainsi. "
                      "Retirez ce droit (« sudo chmod u-s,g-s /usr/bin/nelvar ») et donnez-lui plutôt l'accès aux "
                      "ports avec « sudo setcap cap_sys_rawio+ep /usr/bin/nelvar ».");
    EXPECT_EQ(RealPorts::StartRefusalMessage(false, "/usr/bin/nelvar"),
              intro + "le programme a été lancé en tant que root sans passer par sudo : il ne saurait pas à quel "
                      "compte rendre ses droits, et il ne travaille pas avec les droits de root. Lancez-le avec "
                      "sudo depuis votre compte, ou donnez-lui le droit une fois pour toutes avec "
                      "« sudo setcap cap_sys_rawio+ep /usr/bin/nelvar ».");
}

// The ports asked for are the card's 16 at 0x280 and the timer's 0x42, 0x43
// and 0x61; a refusal gives back, last first, what was granted before it, and
// reports the refusal's errno, not that of the give-backs.
TEST(RealPortsRequest, asks_for_the_card_and_timer_ports_only_and_gives_back_on_a_refusal)
{
    using Call = std::tuple<unsigned long, unsigned long, int>;
    const Call card{0x280, 16, 1};
    const Call timer{0x42, 2, 1};
    const Call gate{0x61, 1, 1};
    const struct {
        int refused; // index of the refused request, -1: none
        int error;
        std::vector<Call> calls;
    } cases[] = {
        {-1, 0, {card, timer, gate}},
        {0, EPERM, {card}},
        {1, ENOSYS, {card, timer, {0x280, 16, 0}}},
        {2, EPERM, {card, timer, gate, {0x42, 2, 0}, {0x280, 16, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        std::vector<Call> calls;
        const int error = RealPorts::RequestPorts([&](unsigned long first, unsigned long count, int turnOn) {
            calls.emplace_back(first, count, turnOn);
            const bool refuse = turnOn == 1 && static_cast<int>(calls.size()) - 1 == c.refused;
            errno = refuse ? c.error : EINVAL;
            return refuse ? -1 : 0;
        });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(calls, c.calls);
    }
}

} // namespace
