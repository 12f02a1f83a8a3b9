// The choice between the simulated card and the real ports. The real ports
// themselves are never opened here; only the refusal texts are checked.
#include "card/PortSelection.h"
#include "card/RealPorts.h"
#include "card/SimulatedCard.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(PortSelection, the_simulated_card_is_the_default)
{
    for (const char* choix : {static_cast<const char*>(nullptr), "", "simulation"}) {
        SCOPED_TRACE(choix ? choix : "(unset)");
        std::string message = "stale";
        const std::unique_ptr<PortIo> ports = OuvrirPorts(choix, message);
        ASSERT_NE(ports, nullptr);
        EXPECT_NE(dynamic_cast<SimulatedCard*>(ports.get()), nullptr);
        EXPECT_EQ(message, "");
    }
}

TEST(PortSelection, an_unknown_choice_is_refused_with_a_message_naming_the_variable)
{
    std::string message;
    const std::unique_ptr<PortIo> ports = OuvrirPorts("Reel ", message);

    EXPECT_EQ(ports, nullptr);
    EXPECT_EQ(message, "NELVAR_PORTS=Reel  : valeur inconnue. Mettez « reel » pour la carte réelle, ou "
                       "« simulation » (ou rien) pour la carte simulée.");
}

TEST(PortSelection, the_default_simulated_card_runs_on_the_real_clock)
{
    std::string message;
    const std::unique_ptr<PortIo> ports = OuvrirPorts(nullptr, message);
    ASSERT_NE(ports, nullptr);
    // Timer programmed for 15 700 Hz and gated on: the output, read on the
    // monotonic clock, is seen low then high again within a few periods.
    ports->outb(0x43, 0xB6);
    ports->outb(0x42, 76);
    ports->outb(0x42, 0);
    ports->outb(0x61, 0x01);
    bool seenLow = false;
    bool seenRisingEdge = false;
    for (long polls = 0; polls < 50'000'000 && !seenRisingEdge; ++polls) {
        const bool high = (ports->inb(0x61) & 0x20) != 0;
        seenRisingEdge = seenLow && high;
        seenLow = seenLow || !high;
    }
    EXPECT_TRUE(seenRisingEdge);
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

} // namespace
