// The simulated card and timer, alone at the port level and under the
// driver, on a virtual clock; and its demonstration signal.
#include "acquisition/Clocks.h"
#include "acquisition/DemonstrationSignal.h"
#include "acquisition/SimulatedCard.h"
#include "card/UDravoC.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;

struct FreshUnit {
    FreshUnit() { UDravoC::ReinitialiserEtatUnite(); }
    ~FreshUnit() { UDravoC::ReinitialiserEtatUnite(); }
};

// Inputs held at fixed voltages.
class FixedInputs final : public AnalogueInputs {
public:
    FixedInputs(double voie1, double voie2) : volts_{voie1, voie2} {}
    double Voltage(int channel, nanoseconds) override { return volts_[channel - 1]; }

private:
    double volts_[2];
};

// The earliest clock time at which `clocks` clocks of the PC's 1 193 200 Hz
// timer have passed.
nanoseconds AfterClocks(std::int64_t clocks)
{
    constexpr std::int64_t kTimerHz = 1'193'200;
    return nanoseconds((clocks * 1'000'000'000 + kTimerHz - 1) / kTimerHz);
}

// Programs channel 2 as the driver does and opens its gate.
void StartSquareWave(SimulatedCard& card, std::uint16_t divisor)
{
    card.outb(0x61, 0x00);
    card.outb(0x43, 0xB6);
    card.outb(0x42, static_cast<std::uint8_t>(divisor & 0xFF));
    card.outb(0x42, static_cast<std::uint8_t>(divisor >> 8));
    card.outb(0x61, 0x01);
}

// ---------------------------------------------------------------------------
// Port level

TEST(SimulatedCardPorts, unmapped_ports_read_all_ones)
{
    VirtualClock clock;
    SimulatedCard card(clock);
    for (std::uint16_t port : {0x0000, 0x0040, 0x0043, 0x0062, 0x027E, 0x0284, 0x028A, 0x0300, 0x037E, 0x0400,
                               0xFFFF}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(card.inb(port), 0xFF);
        EXPECT_EQ(card.inw(port), 0xFFFF);
    }
    card.outb(0x0300, 0xFF); // ignored
    EXPECT_EQ(card.inw(0x0300), 0xFFFF);
}

TEST(SimulatedCardPorts, codes_and_data_words_follow_the_converter_s_scale)
{
    EXPECT_EQ(SimulatedCard::CodeForVoltage(-5.12125), 0);
    EXPECT_EQ(SimulatedCard::CodeForVoltage(-9.0), 0);
    EXPECT_EQ(SimulatedCard::CodeForVoltage(-2.70757206), 965);
    EXPECT_EQ(SimulatedCard::CodeForVoltage(5.12125), 4095);
    EXPECT_EQ(SimulatedCard::CodeForVoltage(12.0), 4095);
    EXPECT_EQ(SimulatedCard::CodeForVoltage(std::nan("")), 0);
    EXPECT_EQ(SimulatedCard::DataWord(965), 0x503C);
    EXPECT_EQ(SimulatedCard::DataWord(0xABC), 0xC0AB);
}

TEST(SimulatedCardPorts, only_the_conversion_start_byte_starts_a_conversion)
{
    VirtualClock clock;
    SimulatedCard card(clock, std::make_unique<FixedInputs>(5.12125, 5.12125));
    const std::uint16_t before = card.inw(0x280);

    card.outb(0x280, 0x00);
    card.outb(0x280, 0x7F);
    EXPECT_EQ(card.inw(0x280), before);

    card.outb(0x280, 0xFF);
    EXPECT_EQ(card.inw(0x280), 0xF0FF);
    EXPECT_EQ(card.inw(0x282), before); // the other channel did not convert
}

TEST(SimulatedCardPorts, the_card_latches_data_words_at_every_base_the_driver_accepts)
{
    VirtualClock clock;
    SimulatedCard card(clock, std::make_unique<FixedInputs>(5.12125, 0.0));
    for (std::uint16_t base : {0x280, 0x290, 0x2F0, 0x380, 0x3F0}) {
        SCOPED_TRACE(base);
        const auto voie2 = static_cast<std::uint16_t>(base + 2);
        card.outb(base, 0xFF);
        card.outb(voie2, 0xFF);
        EXPECT_EQ(card.inw(base), 0xF0FF);  // 4095
        EXPECT_EQ(card.inw(voie2), 0x0080); // 2048, the code just above 0 V
        EXPECT_EQ(card.inb(voie2), 0x80);
        EXPECT_EQ(card.inb(static_cast<std::uint16_t>(voie2 + 1)), 0x00);
    }
    // 0x300-0x37F (offsets 128-255) is not the card's.
    EXPECT_EQ(card.inw(0x300), 0xFFFF);
    EXPECT_EQ(card.inw(0x370), 0xFFFF);
}

TEST(SimulatedCardPorts, the_8255_keeps_its_control_word_and_drives_only_its_outputs)
{
    VirtualClock clock;
    SimulatedCard card(clock);
    EXPECT_EQ(card.ControlWord8255(), 0x9B); // after reset: all inputs

    card.outb(0x28F, 0x8B); // A output, B and C inputs
    card.outb(0x28C, 0x5A);
    card.outb(0x28D, 0x5A);
    EXPECT_EQ(card.ControlWord8255(), 0x8B);
    EXPECT_EQ(card.inb(0x28C), 0x5A);
    EXPECT_EQ(card.inb(0x28D), 0xFF); // an input with nothing wired
    EXPECT_EQ(card.inb(0x28F), 0xFF); // the control word cannot be read back

    card.outb(0x28F, 0x07); // bit set/reset of port C: not a new control word
    EXPECT_EQ(card.ControlWord8255(), 0x8B);

    card.outb(0x28E, 0x5A);
    card.outb(0x28F, 0x92); // A and B inputs, C output; a mode set clears the outputs
    EXPECT_EQ(card.inb(0x28C), 0xFF);
    EXPECT_EQ(card.inb(0x28E), 0x00);
    card.outb(0x28F, 0x07); // set PC3
    EXPECT_EQ(card.inb(0x28E), 0x08);
}

// ---------------------------------------------------------------------------
// Timer channel 2

TEST(SimulatedCardTimer, a_square_wave_is_high_for_the_first_half_period_odd_divisors_one_clock_longer)
{
    struct Case {
        std::uint16_t divisor;
        std::vector<std::int64_t> clocks; // when the output is sampled
        std::vector<bool> high;
    };
    const Case cases[] = {
        {76, {0, 37, 38, 75, 76, 113, 114, 76 * 15700}, {true, true, false, false, true, true, false, true}},
        {5, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {true, true, true, false, false, true, true, true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.divisor);
        VirtualClock clock;
        SimulatedCard card(clock);
        StartSquareWave(card, c.divisor);
        ASSERT_EQ(card.TimerDivisor(), c.divisor);
        std::vector<bool> levels, bit5;
        for (const std::int64_t clocks : c.clocks) {
            clock.Advance(AfterClocks(clocks) - clock.Now());
            levels.push_back(card.TimerOutput());
            bit5.push_back((card.inb(0x61) & 0x20) != 0);
        }
        EXPECT_EQ(levels, c.high);
        EXPECT_EQ(bit5, c.high);
    }
}

TEST(SimulatedCardTimer, output_is_held_high_while_the_gate_is_off_or_no_count_is_loaded)
{
    VirtualClock clock;
    SimulatedCard card(clock);
    EXPECT_TRUE(card.TimerOutput()); // never programmed

    card.outb(0x43, 0xB6);
    card.outb(0x61, 0x01);
    clock.Advance(AfterClocks(50));
    EXPECT_TRUE(card.TimerOutput()); // control word, no count yet

    StartSquareWave(card, 76);
    card.outb(0x61, 0x00); // gate off
    for (std::int64_t clocks : {38, 50, 1000}) {
        clock.Advance(AfterClocks(clocks));
        EXPECT_TRUE(card.TimerOutput());
    }
}

TEST(SimulatedCardTimer, opening_the_gate_restarts_the_period)
{
    VirtualClock clock;
    SimulatedCard card(clock);
    StartSquareWave(card, 76);
    clock.Advance(AfterClocks(50)); // low half
    ASSERT_FALSE(card.TimerOutput());

    card.outb(0x61, 0x00);
    clock.Advance(1ms);
    card.outb(0x61, 0x01);
    EXPECT_TRUE(card.TimerOutput());
    clock.Advance(AfterClocks(38));
    EXPECT_FALSE(card.TimerOutput());
}

TEST(SimulatedCardTimer, bit_5_of_port_0x61_reads_the_output_and_bits_0_to_3_read_as_written)
{
    VirtualClock clock;
    SimulatedCard card(clock);
    StartSquareWave(card, 76);
    card.outb(0x61, 0xFD); // gate on, speaker off, bits 2-3 set; bits 4-7 are not stored
    EXPECT_EQ(card.inb(0x61), 0x2D);
    clock.Advance(AfterClocks(40));
    EXPECT_EQ(card.inb(0x61), 0x0D);
}

TEST(SimulatedCardTimer, each_poll_of_port_0x61_moves_the_virtual_clock_by_its_step)
{
    VirtualClock clock(250ns);
    SimulatedCard card(clock);

    card.inb(0x61);
    card.inb(0x61);
    card.inb(0x280);
    card.outb(0x61, 0x01);

    EXPECT_EQ(clock.Now(), 500ns);
}

// ---------------------------------------------------------------------------
// Under the driver

TEST(SimulatedCardRead, the_program_s_read_takes_315_timer_periods_of_the_clock)
{
    const FreshUnit fresh;
    VirtualClock clock(100ns);
    SimulatedCard simulated(clock);
    TDravoC card(simulated);
    clock.Advance(10s);
    const nanoseconds start = clock.Now();

    card.MesurerTensions(314, 15700);

    // N + 1 rising edges, the first one period after the gate opens: 20.06 ms.
    const nanoseconds elapsed = clock.Now() - start;
    const nanoseconds period = AfterClocks(76) - 1ns;
    EXPECT_GE(elapsed, 315 * period);
    EXPECT_LE(elapsed, 315 * period + 315ns + 3 * clock.PollStep());
    EXPECT_FALSE(simulated.InterruptsDisabled());
    EXPECT_EQ(card.CodeErreur, 0);
}

TEST(SimulatedCardRead, the_program_held_by_the_system_mid_read_does_not_end_a_read_whose_timer_is_alive)
{
    // At the 100th conversion of channel 1 the clock jumps by half a second,
    // as when a loaded machine puts the program aside: longer than the
    // read's 200 ms bound, yet the timer went on and its edges still come.
    class HeldOnce final : public AnalogueInputs {
    public:
        explicit HeldOnce(VirtualClock& clock) : clock_(clock) {}
        double Voltage(int channel, nanoseconds) override
        {
            if (channel == 1 && ++conversions_ == 100)
                clock_.Advance(500ms);
            return 1.0;
        }

    private:
        VirtualClock& clock_;
        int conversions_ = 0;
    };
    const FreshUnit fresh;
    VirtualClock clock(100ns);
    SimulatedCard simulated(clock, std::make_unique<HeldOnce>(clock));
    TDravoC card(simulated);

    card.MesurerTensions(314, 15700);

    EXPECT_EQ(card.CodeErreur, 0);
    EXPECT_NEAR(card.TensionVoie1, 1.0, 0.0013);
}

TEST(SimulatedCardRead, follows_the_card_to_another_base)
{
    const FreshUnit fresh;
    VirtualClock clock(1us);
    SimulatedCard simulated(clock, std::make_unique<FixedInputs>(2.0, -3.0));
    TDravoC card(simulated);
    card.SetAdressOffset(368);
    card.SetConfiguration(abcEntree);

    card.MesurerTensions(50, 15700);

    EXPECT_EQ(simulated.ControlWord8255(), 0x9B);
    EXPECT_NEAR(card.TensionVoie1, 2.0, 0.0013);
    EXPECT_NEAR(card.TensionVoie2, -3.0, 0.0013);
}

// ---------------------------------------------------------------------------
// The demonstration

// The channel voltages of the program's read (314 samples at 15 700 Hz),
// taken every `every` seconds for `seconds` seconds.
struct Series {
    std::vector<double> voie1;
    std::vector<double> voie2;
};
Series Readings(SimulatedCard& simulated, VirtualClock& clock, int seconds, int every)
{
    TDravoC card(simulated);
    Series run;
    for (int t = 0; t <= seconds; t += every) {
        card.MesurerTensions(314, 15700);
        run.voie1.push_back(card.TensionVoie1);
        run.voie2.push_back(card.TensionVoie2);
        clock.Advance(std::chrono::seconds(every) - 20ms);
    }
    return run;
}

TEST(SimulatedCardDemonstration, the_pressure_rises_from_1013_hPa_over_minutes_on_opposite_channels)
{
    const FreshUnit fresh;
    VirtualClock clock(2us);
    SimulatedCard simulated(clock);
    clock.Advance(1h); // the card sat idle

    const Series run = Readings(simulated, clock, 600, 4);

    const double k = 100000;
    EXPECT_NEAR(run.voie1.front() * k, 101300, 30);
    // Two minutes (one time constant) in: about two thirds of the 300 hPa.
    EXPECT_NEAR(run.voie1[30] * k, 101300 + 30000 * (1 - std::exp(-1.0)), 100);
    EXPECT_NEAR(run.voie1.back() * k, 101300 + 30000 * (1 - std::exp(-5.0)), 100);
    for (std::size_t i = 0; i < run.voie1.size(); ++i) {
        SCOPED_TRACE(i);
        // "Oui" and "Non" give the same pressure within a few pascals.
        EXPECT_NEAR((run.voie1[i] - run.voie2[i]) / 2 * k, run.voie1[i] * k, 50);
        if (i >= 15) {
            EXPECT_GT(run.voie1[i], run.voie1[i - 15]); // higher than a minute before
        }
    }
}

TEST(SimulatedCardDemonstration, a_new_run_after_a_pause_starts_a_new_reaction)
{
    const FreshUnit fresh;
    VirtualClock clock(2us);
    SimulatedCard simulated(clock);

    const Series first = Readings(simulated, clock, 120, 2);
    ASSERT_GT(first.voie1.back(), 1.2);
    clock.Advance(1min);
    const Series second = Readings(simulated, clock, 0, 1);

    EXPECT_NEAR(second.voie1.front(), 1.013, 0.0003);
}

TEST(SimulatedCardDemonstration, readings_are_repeatable_and_carry_a_little_noise)
{
    const FreshUnit fresh;
    VirtualClock clockA(2us);
    VirtualClock clockB(2us);
    SimulatedCard a(clockA);
    SimulatedCard b(clockB);
    VirtualClock clockC(2us);
    SimulatedCard c(clockC, std::make_unique<DemonstrationSignal>(DemonstrationSignal::kDefaultSeed + 1));

    const Series runA = Readings(a, clockA, 30, 1);
    const Series runB = Readings(b, clockB, 30, 1);
    const Series runC = Readings(c, clockC, 30, 1);

    EXPECT_EQ(runA.voie1, runB.voie1);
    EXPECT_EQ(runA.voie2, runB.voie2);
    EXPECT_NE(runA.voie1, runC.voie1);
    for (std::size_t i = 0; i < runA.voie1.size(); ++i) {
        EXPECT_NEAR(runA.voie1[i], runC.voie1[i], 0.0005); // noise of a fraction of a hPa
    }
}

TEST(SimulatedCardDemonstration, the_vessel_stays_at_rest_until_the_first_reading)
{
    // 1 013 hPa at rest, rising towards 1 313 hPa; noise under 3 mV.
    DemonstrationSignal signal;
    EXPECT_EQ(signal.Pressure(0s), 101300);
    EXPECT_EQ(signal.Pressure(1h), 101300);

    signal.Voltage(1, 1h);
    EXPECT_EQ(signal.Pressure(1h), 101300);
    EXPECT_GT(signal.Pressure(1h + 1s), 101300);
    EXPECT_LT(signal.Pressure(2h), 131300);
    EXPECT_LT(std::abs(signal.Voltage(2, 1h) + 1.013), 0.003);
}

} // namespace
