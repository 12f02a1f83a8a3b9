// The card driver seen from the ports: construction, address offset and port
// map, 8255 configuration, and the timed, averaged read, against a fake port
// interface that records every access.
#include "card/UDravoC.h"
#include "runtime/Exceptions.h"
#include "tests/acquisition/support/FakePorts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Every test starts and ends with the unit-level state of a fresh program.
struct FreshUnit {
    FreshUnit() { UDravoC::ReinitialiserEtatUnite(); }
    ~FreshUnit() { UDravoC::ReinitialiserEtatUnite(); }
};

// What OnUsing was told, one entry a call.
struct StatusLog {
    std::vector<std::int32_t> codes;
    std::vector<std::string> messages;

    void Attach(TDravoC& card)
    {
        card.OnUsing = [this](TDravoC& sender) {
            codes.push_back(sender.CodeErreur);
            messages.push_back(sender.MessageErreur);
        };
    }
};

using Kind = PortAccess::Kind;
using Codes = std::vector<std::int32_t>;

// A fresh unit, a card on fake ports and the log of what OnUsing was told
// after construction.
class Driver : public ::testing::Test {
protected:
    Driver() { log.Attach(card); }

    FreshUnit fresh;
    FakePorts ports;
    TDravoC card{ports};
    StatusLog log;
};

// ---------------------------------------------------------------------------
// Construction

TEST_F(Driver, starts_with_the_published_defaults_a_clear_status_and_only_the_first_configuration_sent)
{
    EXPECT_EQ(ports.Accesses(), (std::vector<PortAccess>{Out8(0x28F, 0x8B)}));
    EXPECT_EQ(card.AdressOffset(), 0);
    EXPECT_EQ(card.NomCarte, TlisteCartes::Candibus);
    EXPECT_EQ(card.Configuration(), aSortie_bcEntree);
    EXPECT_EQ(card.NombreDePointsDeMesure, 256);
    EXPECT_EQ(card.SepDecimalPourTransfert, virgule);
    EXPECT_FALSE(card.OnNeFaitRien);
    EXPECT_EQ(card.CodeErreur, 0);
    EXPECT_EQ(card.MessageErreur, "");
}

TEST(DriverConstruction, captures_the_working_directory_followed_by_a_slash)
{
    const FreshUnit fresh;
    FakePorts ports;
    const TDravoC card(ports);

    const std::string expected = std::filesystem::current_path().string() + "/";
    EXPECT_EQ(UDravoC::RepertoireCourant, expected);
}

TEST_F(Driver, resetting_the_unit_restores_every_unit_level_value)
{
    card.SetAdressOffset(368);
    UDravoC::NomDernierFichier = "x";
    UDravoC::NumeroFichier = 7;
    UDravoC::PasFrequenceFFT = 2.5;

    UDravoC::ReinitialiserEtatUnite();

    EXPECT_EQ(UDravoC::PortVoie1, 0x280);
    EXPECT_EQ(UDravoC::PortVoie2, 0x282);
    EXPECT_EQ(UDravoC::PortA, 0x28C);
    EXPECT_EQ(UDravoC::PortB, 0x28D);
    EXPECT_EQ(UDravoC::PortC, 0x28E);
    EXPECT_EQ(UDravoC::PortControle, 0x28F);
    EXPECT_EQ(UDravoC::RepertoireCourant, "");
    EXPECT_EQ(UDravoC::NomDernierFichier, "");
    EXPECT_EQ(UDravoC::NumeroFichier, 0);
    EXPECT_EQ(UDravoC::PasFrequenceFFT, 0.0);
}

// ---------------------------------------------------------------------------
// Address offset and port map

struct OffsetCase {
    TAdrOffs value;
    TAdrOffs stored;
    Codes announced; // codes seen by OnUsing, in order
    const char* message; // left in MessageErreur
    std::uint16_t voie1;
    std::uint16_t voie2;
    std::uint16_t a;
    std::uint16_t controle;
};

TEST(DriverAddressOffset, validates_the_offset_and_moves_the_port_map)
{
    const char* const kRange = "addrOffset, décalage d'adresse doit être multiple de 16, entre 0 et 368";
    const char* const kMultiple = "addrOffset doit être multiple de 16";
    const char* const kHole = "addrOffset ne doit pas être entre 8 x 16 et 15 x 16";
    const std::vector<OffsetCase> cases = {
        {368, 368, {0}, "", 0x3F0, 0x3F2, 0x3FC, 0x3FF},
        {32, 32, {0}, "", 0x2A0, 0x2A2, 0x2AC, 0x2AF},
        {100, 96, {0, 2}, kMultiple, 0x2E0, 0x2E2, 0x2EC, 0x2EF},
        {130, 0, {0, 2, 3}, kHole, 0x280, 0x282, 0x28C, 0x28F},
        {400, 0, {0, 1}, kRange, 0x280, 0x282, 0x28C, 0x28F},
        {128, 0, {0, 3}, kHole, 0x280, 0x282, 0x28C, 0x28F},
        {255, 0, {0, 2, 3}, kHole, 0x280, 0x282, 0x28C, 0x28F},
        {369, 0, {0, 1}, kRange, 0x280, 0x282, 0x28C, 0x28F},
    };
    for (const OffsetCase& c : cases) {
        SCOPED_TRACE(c.value);
        const FreshUnit fresh;
        FakePorts ports;
        TDravoC card(ports);
        card.SetAdressOffset(48); // start away from 0, with an earlier refusal's status
        card.CodeErreur = 1;
        card.MessageErreur = "ancien message";
        StatusLog log;
        log.Attach(card);

        card.SetAdressOffset(c.value);

        EXPECT_EQ(card.AdressOffset(), c.stored);
        EXPECT_EQ(log.codes, c.announced);
        EXPECT_EQ(card.CodeErreur, c.announced.back());
        EXPECT_EQ(card.MessageErreur, c.message);
        EXPECT_EQ(UDravoC::PortVoie1, c.voie1);
        EXPECT_EQ(UDravoC::PortVoie2, c.voie2);
        EXPECT_EQ(UDravoC::PortA, c.a);
        EXPECT_EQ(UDravoC::PortB, c.a + 1);
        EXPECT_EQ(UDravoC::PortC, c.a + 2);
        EXPECT_EQ(UDravoC::PortControle, c.controle);
    }
}

TEST_F(Driver, every_value_ends_on_an_accepted_base)
{
    for (unsigned value = 0; value <= 0xFFFF; ++value) {
        card.SetAdressOffset(static_cast<TAdrOffs>(value));
        const TAdrOffs offset = card.AdressOffset();
        const bool accepted = value % 16 == 0 && (value <= 112 || (value >= 256 && value <= 368));
        ASSERT_TRUE(offset % 16 == 0 && (offset <= 112 || (offset >= 256 && offset <= 368))) << value;
        if (accepted) {
            ASSERT_EQ(offset, value);
            ASSERT_EQ(card.CodeErreur, 0) << value;
        } else {
            ASSERT_NE(card.CodeErreur, 0) << value;
            ASSERT_LE(offset, value);
        }
        ASSERT_EQ(UDravoC::PortControle, 0x280 + offset + 0xF);
    }
}

// ---------------------------------------------------------------------------
// 8255 configuration

TEST_F(Driver, each_configuration_sends_its_control_word_and_a_new_offset_sends_none)
{
    ports.ClearAccesses();
    card.SetAdressOffset(368);
    EXPECT_TRUE(ports.Accesses().empty());

    card.SetConfiguration(acEntree_bSortie);
    card.SetConfiguration(abEntree_cSortie);
    card.SetConfiguration(abcEntree);
    card.SetConfiguration(aSortie_bcEntree);

    EXPECT_EQ(ports.Writes(0x3FF), (std::vector<std::uint8_t>{0x99, 0x92, 0x9B, 0x8B}));
    EXPECT_EQ(ports.Accesses().size(), 4u);
    EXPECT_EQ(card.Configuration(), aSortie_bcEntree);
}

TEST_F(Driver, writing_the_control_word_clears_the_status_first)
{
    card.SetAdressOffset(130);
    ASSERT_EQ(card.CodeErreur, 3);
    log.codes.clear();

    card.EcrireControle(0x80);

    EXPECT_EQ(log.codes, (Codes{0}));
    EXPECT_EQ(card.MessageErreur, "");
    EXPECT_EQ(ports.Writes(0x28F).back(), 0x80);
}

// ---------------------------------------------------------------------------
// The timed read: port sequence

// Port 0x61 starts with the speaker on, the gate open and bits 2-3 set, as
// after a beep: the read must clear bits 0-1 and keep bits 2-3.
constexpr std::uint8_t kSystemPortAtStart = 0x0F;

TEST(DriverReadSequence, the_program_s_read_makes_exactly_the_card_s_port_sequence)
{
    const FreshUnit fresh;
    FakePorts ports(kSystemPortAtStart);
    TDravoC card(ports);
    ports.SetWord(0x280, 0x5A3C);
    ports.SetWord(0x282, 0x0080);
    ports.ClearAccesses();

    card.MesurerTensions(314, 15700);

    // The fake's bit 5 alternates from one read of 0x61 to the next, from 0.
    std::vector<PortAccess> expected = {
        InterruptsOff(),
        In8(0x61, 0x0F),  // gate and speaker ...
        Out8(0x61, 0x0C), // ... off, bits 2-3 kept
        Out8(0x43, 0xB6), // channel 2, low then high byte, mode 3, binary
        Out8(0x42, 0x4C), // divisor 76
        Out8(0x42, 0x00),
        In8(0x61, 0x2C),
        Out8(0x61, 0x2D), // gate on, the value read written back
    };
    for (int pass = 0; pass <= 314; ++pass) {
        expected.push_back(In8(0x61, 0x0D)); // output seen low ...
        expected.push_back(In8(0x61, 0x2D)); // ... then high: a rising edge
        expected.push_back(In16(0x280, 0x5A3C));
        if (pass > 0) {
            expected.push_back(In16(0x282, 0x0080));
        }
        expected.push_back(Out8(0x280, 0xFF));
        expected.push_back(Out8(0x282, 0xFF));
    }
    expected.push_back(InterruptsOn());

    const std::vector<PortAccess>& actual = ports.Accesses();
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "access " << i;
    }
    EXPECT_EQ(ports.Count(Kind::In16, 0x280) + ports.Count(Kind::In16, 0x282), 2u * 314 + 1);
}

TEST_F(Driver, reads_at_the_channel_ports_of_the_offset_in_use)
{
    card.SetAdressOffset(272);
    ports.ClearAccesses();

    card.MesurerTensions(3, 15700);

    EXPECT_EQ(ports.Count(Kind::In16, 0x390), 4u);
    EXPECT_EQ(ports.Count(Kind::In16, 0x392), 3u);
    EXPECT_EQ(ports.Writes(0x390), (std::vector<std::uint8_t>(4, 0xFF)));
    EXPECT_EQ(ports.Writes(0x392), (std::vector<std::uint8_t>(4, 0xFF)));
    EXPECT_EQ(ports.Count(Kind::In16, 0x280), 0u);
    EXPECT_TRUE(ports.Writes(0x39F).empty()); // no configuration during a read
}

// ---------------------------------------------------------------------------
// The timed read: frequency, duration and their status

TEST(DriverRate, each_rate_and_count_gives_its_divisor_its_duration_and_its_status_and_still_reads)
{
    // The timer runs at 1 193 200 Hz: 15 700 Hz is divisor 76, 20 Hz 59 660.
    // Every read first clears the code 3 left by a refused offset.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const char* const kRefused = "Fréquence incorrecte";
    const char* const kTooLong = "Durée d'une mesure de tension supérieure à 60 secondes";
    struct Case {
        const char* what;
        std::int32_t count;
        double frequence;
        std::vector<std::uint8_t> divisor; // low then high byte
        double frequenceRead;
        double duree;
        Codes codes;
        const char* message;
    };
    const Case cases[] = {
        {"the program's call: 20 ms", 314, 15700, {0x4C, 0x00}, 15700, 0.02, {0}, ""},
        {"fastest rate", 314, 596600, {0x02, 0x00}, 596600, 314 / 596600.0, {0}, ""},
        {"just above the fastest", 314, 596601, {0x02, 0x00}, 596600, 314 / 596600.0, {0, 5}, kRefused},
        {"far above the fastest", 314, 700000, {0x02, 0x00}, 596600, 314 / 596600.0, {0, 5}, kRefused},
        {"negative", 314, -15700, {0x02, 0x00}, 596600, 314 / 596600.0, {0, 5}, kRefused},
        {"NaN", 314, nan, {0x02, 0x00}, 596600, 314 / 596600.0, {0, 5}, kRefused},
        {"infinite", 314, inf, {0x02, 0x00}, 596600, 314 / 596600.0, {0, 5}, kRefused},
        // 119 320 does not fit 16 bits: the slowest rate, 18.2071 Hz.
        {"divisor past 16 bits", 100, 10, {0xFF, 0xFF}, 18.20706, 5.49236, {0, 5}, kRefused},
        {"exactly 60 s", 1200, 20, {0x0C, 0xE9}, 20, 60.0, {0}, ""},
        {"past 60 s", 1201, 20, {0x0C, 0xE9}, 20, 60.05, {0, 4}, kTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FreshUnit fresh;
        FakePorts ports;
        TDravoC card(ports);
        StatusLog log;
        card.SetAdressOffset(130);
        log.Attach(card);
        ports.ClearAccesses();

        card.MesurerTensions(c.count, c.frequence);

        EXPECT_EQ(ports.Writes(0x42), c.divisor);
        EXPECT_NEAR(card.Frequence, c.frequenceRead, 1e-5 * c.frequenceRead);
        EXPECT_NEAR(card.Duree, c.duree, 1e-5 * c.duree);
        EXPECT_EQ(log.codes, c.codes);
        EXPECT_EQ(card.CodeErreur, c.codes.back());
        EXPECT_EQ(card.MessageErreur, c.message);
        EXPECT_EQ(card.NombreDePointsDeMesure, c.count);
        EXPECT_EQ(ports.Count(Kind::In16, 0x280), static_cast<std::size_t>(c.count) + 1);
        EXPECT_EQ(ports.Count(Kind::In16, 0x282), static_cast<std::size_t>(c.count));
    }
}

TEST_F(Driver, a_frequency_of_zero_is_a_division_by_zero_before_any_port_access)
{
    ports.ClearAccesses();

    EXPECT_THROW(card.MesurerTensions(314, 0.0), EZeroDivide);
    EXPECT_TRUE(ports.Accesses().empty());
}

TEST_F(Driver, fewer_than_one_sample_is_an_invalid_operation_without_a_read)
{

    for (std::int32_t count : {0, -1, -2147483647 - 1}) {
        SCOPED_TRACE(count);
        ports.ClearAccesses();
        EXPECT_THROW(card.MesurerTensions(count, 15700), EInvalidOp);
        EXPECT_TRUE(ports.Accesses().empty());
        EXPECT_EQ(card.NombreDePointsDeMesure, count);
    }
}

TEST(DriverTimedOut, a_timer_that_never_toggles_ends_the_read_after_ten_windows_of_the_ports_clock_with_code_6)
{
    // The bound is time on the ports' clock, whatever a poll costs: 200 ms
    // for the program's 20 ms read, polled every microsecond or every 50;
    // 10 ms at least for a read of a few samples (3 at 15 700 Hz: 0.19 ms).
    struct Case {
        std::int32_t count;
        std::chrono::nanoseconds poll;
        std::chrono::nanoseconds bound;
    };
    const FreshUnit fresh;
    for (const Case c : {Case{314, 1us, 200ms}, Case{314, 50us, 200ms}, Case{3, 1us, 10ms}}) {
        SCOPED_TRACE(c.poll.count());
        FakePorts ports;
        TDravoC card(ports);
        StatusLog log;
        log.Attach(card);
        card.TensionVoie1 = 1.5;
        ports.SetTimerStuck(true); // what a gate held low shows
        ports.SetRecording(false);
        ports.SetPollStep(c.poll);
        const std::chrono::nanoseconds start = ports.Now();

        EXPECT_THROW(card.MesurerTensions(c.count, 15700), ELectureImpossible);

        // Two polls program the timer before the passes start.
        const std::chrono::nanoseconds elapsed = ports.Now() - start;
        EXPECT_GE(elapsed, c.bound + 2 * c.poll);
        EXPECT_LT(elapsed, c.bound + 3 * c.poll);
        EXPECT_EQ(log.codes, (Codes{0, 6}));
        EXPECT_EQ(card.MessageErreur, "L'horloge d'échantillonnage ne répond pas (port 0x61) : mesure abandonnée");
        EXPECT_EQ(ports.Count(Kind::InterruptsOn, 0), 1u);
        EXPECT_EQ(ports.Count(Kind::In16, 0x280), 0u);
        EXPECT_EQ(card.TensionVoie1, 1.5); // no made-up voltage
    }
}

TEST(DriverTimedOut, a_live_timer_is_read_to_the_end_within_the_bound_and_given_up_past_it)
{
    // The fake timer toggles at every poll: the 315 edges of the program's
    // read take 630 polls. At 300 µs a poll they take 189 ms; at 330 µs they
    // would take 208 ms, past the 200 ms bound.
    const FreshUnit fresh;
    for (const auto& [poll, reads] : {std::pair{300us, true}, std::pair{330us, false}}) {
        SCOPED_TRACE(poll.count());
        FakePorts ports;
        TDravoC card(ports);
        ports.SetRecording(false);
        ports.SetPollStep(poll);
        ports.SetWord(0x280, 0x0080);
        ports.SetWord(0x282, 0x0080);
        if (reads) {
            EXPECT_NO_THROW(card.MesurerTensions(314, 15700));
            EXPECT_EQ(ports.Count(Kind::In16, 0x282), 314u);
            EXPECT_EQ(card.CodeErreur, 0);
        } else {
            EXPECT_THROW(card.MesurerTensions(314, 15700), ELectureImpossible);
            EXPECT_LT(ports.Count(Kind::In16, 0x282), 314u);
            EXPECT_EQ(card.CodeErreur, 6);
        }
    }
}

// ---------------------------------------------------------------------------
// The timed read: from data words to volts

// The voltages of a read in which both channels always return `word`.
std::pair<double, double> ReadConstant(std::uint16_t word, std::int32_t count)
{
    FakePorts ports;
    TDravoC card(ports);
    ports.SetWord(0x280, word);
    ports.SetWord(0x282, word);
    card.MesurerTensions(count, 15700);
    return {card.TensionVoie1, card.TensionVoie2};
}

TEST(DriverReadVoltages, data_words_give_the_card_s_samples_and_voltages_whatever_the_count)
{
    const FreshUnit fresh;
    struct Case {
        std::uint16_t word;
        double volts;
    };
    // 0x0080: sample 2048; 0x5A3C: sample 965 = 0x3C5 (bits 8-11 ignored);
    // 0xF0FF: 4095; 0x0000: 0; 0x0F00: 0 too, only bits 8-11 set.
    for (const Case c : {Case{0x0080, 0.00125061}, Case{0x5A3C, -2.70757206}, Case{0xF0FF, 5.12125},
                         Case{0x0000, -5.12125}, Case{0x0F00, -5.12125}}) {
        SCOPED_TRACE(c.word);
        const auto [voie1, voie2] = ReadConstant(c.word, 1);
        // The voltages above are given to 6 or more significant digits.
        EXPECT_NEAR(voie1, c.volts, std::abs(c.volts) * 1.2e-6);
        EXPECT_NEAR(voie2, c.volts, std::abs(c.volts) * 1.2e-6);
        // The mean of equal samples is exactly that sample's voltage.
        EXPECT_EQ(ReadConstant(c.word, 314), std::make_pair(voie1, voie2));
        EXPECT_EQ(ReadConstant(c.word, 4099), std::make_pair(voie1, voie2));
    }
}

TEST_F(Driver, both_channels_are_averaged_apart_without_the_first_conversion)
{
    // Channel 1: the stale 4095 of the last read, discarded, then samples
    // 100, 200, 300, 400 (mean 250); channel 2: 4000, 4001, 4002, 4003 (mean
    // 4001.5). On the card's ±5.12125 V over 0..4095: -4.495945 V and 4.887386 V.
    ports.QueueWords(0x280, {0xFFFF, 0x4006, 0x800C, 0xC012, 0x0019});
    ports.QueueWords(0x282, {0x00FA, 0x10FA, 0x20FA, 0x30FA});

    card.MesurerTensions(4, 15700);

    EXPECT_NEAR(card.TensionVoie1, -4.4959452858, 1e-9);
    EXPECT_NEAR(card.TensionVoie2, 4.8873864191, 1e-9);
}

} // namespace
