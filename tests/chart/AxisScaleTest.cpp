// Axis arithmetic without a window: label steps, label values, label text
// and the value-to-pixel map.
#include "chart/AxisScale.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

using namespace axis_scale;

namespace {
const std::string kNbsp = "\xC2\xA0";
}

TEST(NextNiceStep, runs_one_two_five_through_the_decades)
{
    const double steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
    for (std::size_t i = 0; i + 1 < std::size(steps); ++i)
        EXPECT_DOUBLE_EQ(NextNiceStep(steps[i]), steps[i + 1]) << steps[i];
    EXPECT_EQ(NextNiceStep(3.0), 5.0);
}

TEST(NextNiceStep, works_in_floating_point_not_in_exact_decimals)
{
    // 1e-12 times ten, twelve times, falls just short of 1: one more decade
    // up gives 10, brought back as 1.0000000000000006e-12, after which the
    // sequence goes on with 2e-12.
    const double almostSame = NextNiceStep(1e-12);
    EXPECT_GT(almostSame, 1e-12);
    EXPECT_LT(almostSame, 1.000001e-12);
    EXPECT_DOUBLE_EQ(NextNiceStep(almostSame), 2e-12);
}

TEST(LabelStep, pressures_spanning_three_tenths_with_fifteen_labels_step_by_two_hundredths)
{
    const double step = LabelStep(1000.3 - 1000.0, 0.0, 15, 10);
    EXPECT_NEAR(step, 0.02, 1e-15);
    EXPECT_LE(RoundHalfEven(0.3 / step), 15);
    // One step smaller would give too many labels.
    EXPECT_GT(RoundHalfEven(0.3 / (step / 2)), 15);
}

TEST(LabelStep, picks_the_first_nice_step_that_fits_the_labels)
{
    struct Case {
        const char* what;
        double range, wished;
        int maxLabels, separation;
        double step;
    };
    const Case cases[] = {
        {"a minute with five labels", 60.0078 - 1.00013, 0.0, 5, 10, 20.0},
        {"at least one wide: never below one", 1.5, 0.0, 20, 10, 1.0},
        {"negative range", -1.5, 0.0, 20, 10, 1.0},
        {"wished increment kept: 20 labels fit", 100.0, 5.0, 50, 10, 5.0},
        {"wished increment grows: 5 -> 10", 100.0, 5.0, 10, 10, 10.0},
        {"wished increment grows: 3 -> 5 -> 10", 100.0, 3.0, 10, 10, 10.0},
        {"single value", 0.0, 0.0, 10, 10, 1e-12},
        {"no room at all", 100.0, 0.0, 0, 10, 1e-12},
        {"no separation: the start step stays", 100.0, 0.0, 10, 0, 1.0},
        {"NaN: no endless search", NAN, 0.0, 10, 10, 1e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LabelStep(c.range, c.wished, c.maxLabels, c.separation), c.step);
    }
}

TEST(LabelStep, the_search_ends_whatever_the_wished_increment)
{
    // A denormal cannot grow along 1-2-5 by itself; the search starts over.
    EXPECT_EQ(LabelStep(1.0, 1e-310, 10, 10), 1.0);
    EXPECT_EQ(LabelStep(1e300, 4.99e-322, 10, 10), LabelStep(1e300, 0.0, 10, 10));
    EXPECT_EQ(LabelStep(0.5, INFINITY, 10, 10), LabelStep(0.5, 0.0, 10, 10));
    // A tiny normal increment grows all the way up a huge range.
    EXPECT_NEAR(LabelStep(1e300, 1e-300, 10, 10), 1e299, 1e284);
    for (double s : {1e-310, 4.99e-322, DBL_MIN / 2, 5e-324}) {
        const double next = NextNiceStep(s);
        EXPECT_GT(next, s) << s;
        EXPECT_TRUE(std::isnormal(next)) << s;
    }
}

TEST(MaxLabelCount, adds_the_separation_and_rounds_the_count)
{
    EXPECT_EQ(MaxLabelCount(20, 10, 440), 20);   // 22 pixels a label
    EXPECT_EQ(MaxLabelCount(20, 10, 473), 22);   // 21.5 rounds to even
    EXPECT_EQ(MaxLabelCount(25, 10, 300), 11);   // 25 + round(2.5) = 27: 11.1
    EXPECT_EQ(MaxLabelCount(0, 10, 300), 1);
    EXPECT_EQ(MaxLabelCount(13, 0, 130), 10);
}

TEST(LabelValues, count_down_from_the_top_multiple_of_the_step_within_ten_thousand_steps)
{
    using V = std::vector<double>;
    struct Case {
        const char* what;
        double lo, hi, step;
        bool round, onEnds;
        V labels;
    };
    const Case cases[] = {
        {"a minute of time", 1.00013, 60.0078, 20.0, true, true, {60.0, 40.0, 20.0}},
        {"labels on the ends", 0.0, 10.0, 5.0, true, true, {10.0, 5.0, 0.0}},
        {"labels off the ends", 0.0, 10.0, 5.0, true, false, {5.0}},
        // trunc(-2.5 / 2) * 2 = -2 lies above the maximum: it is skipped.
        {"negative maximum", -7.5, -2.5, 2.0, true, true, {-4.0, -6.0}},
        {"across zero", -10.0, 10.0, 10.0, true, true, {10.0, 0.0, -10.0}},
        {"without rounding: from the maximum", 0.0, 7.5, 2.0, false, true, {7.5, 5.5, 3.5, 1.5}},
        // A single value shows one label while its index (value / 1e-12)
        // fits 2^31 - 1.
        {"single zero", 0.0, 0.0, 1e-12, true, true, {0.0}},
        {"single thousandth", 0.001, 0.001, 1e-12, true, true, {0.001}},
        {"single 0.00214", 0.00214, 0.00214, 1e-12, true, true, {0.00214}},
        {"single 0.00215: past 2^31 - 1", 0.00215, 0.00215, 1e-12, true, true, {}},
        {"single 1000 hPa", 1000.0, 1000.0, 1e-12, true, true, {}},
        {"single 1.00013 s", 1.00013, 1.00013, 1e-12, true, true, {}},
        {"ten thousand steps", 0.0, 10000.0, 1.0, true, true, {}},
        {"no step", 0.0, 1.0, 0.0, true, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LabelValues(c.lo, c.hi, c.step, c.round, c.onEnds), c.labels) << c.what;
    EXPECT_EQ(LabelValues(0.0, 9999.0, 1.0, true, true).size(), 10000u);
}

TEST(FormatAxisValue, writes_rounds_and_groups_label_values)
{
    struct Case {
        double value;
        char decimal;
        std::string thousands, text;
    };
    const Case cases[] = {
        {12, ',', " ", "12"},
        {2.5, ',', " ", "2,5"},
        {-3.25, ',', " ", "-3,25"},
        {0.0126, ',', " ", "0,013"},
        {0.00012, ',', " ", "0"},
        {-0.0004, ',', " ", "0"},
        {-0.0, ',', " ", "0"},
        {1234.5678, ',', kNbsp, "1" + kNbsp + "234,568"},
        // Halves round up in magnitude after eighteen digits.
        {0.0005, ',', " ", "0,001"},
        {-0.0005, ',', " ", "-0,001"},
        {2.0005, '.', " ", "2.001"}, // stored as 2.00050000000000017
        {2.00049, '.', " ", "2"},
        {999.9996, ',', " ", "1 000"},
        {0.02 * 3, ',', " ", "0,06"},
        // Every three integer digits grouped.
        {100, ',', ".", "100"},
        {1000, ',', ".", "1.000"},
        {-1234567.5, ',', ".", "-1.234.567,5"},
        {1e20, ',', ".", "100.000.000.000.000.000.000"},
        {1000.02, ',', kNbsp, "1" + kNbsp + "000,02"},
        // Values that are not numbers.
        {NAN, ',', " ", "NAN"},
        {INFINITY, ',', " ", "INF"},
        {-INFINITY, ',', " ", "-INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatAxisValue(c.value, c.decimal, c.thousands), c.text);
    }
}

namespace {

// The texts of the labels of [lo, hi] with at most `maxLabels` labels, from
// the top down, with ',' and a space.
std::vector<std::string> LabelTexts(double lo, double hi, int maxLabels)
{
    const double step = LabelStep(hi - lo, 0.0, maxLabels, 10);
    const LabelFormat format = ChooseLabelFormat(step, lo, hi);
    std::vector<std::string> texts;
    for (double v : LabelValues(lo, hi, step, true, true))
        texts.push_back(FormatAxisLabel(v, format, ',', " "));
    return texts;
}

} // namespace

TEST(FormatAxisLabel, a_run_s_extent_of_reaction_gets_the_decimals_its_step_needs)
{
    // 0.1 to 3 mmol with room for 15 labels: step 0.0002 (3e-3 / step falls
    // a hair short of 15, so the top label is 0.0028).
    EXPECT_EQ(LabelTexts(1e-4, 3e-3, 15),
              (std::vector<std::string>{"0,0028", "0,0026", "0,0024", "0,0022", "0,002", "0,0018",
                                        "0,0016", "0,0014", "0,0012", "0,001", "0,0008", "0,0006", "0,0004",
                                        "0,0002"}));
    // Step 0.00005 on the first minute's extents.
    EXPECT_EQ(LabelTexts(1.2e-5, 2.1e-4, 5),
              (std::vector<std::string>{"0,0002", "0,00015", "0,0001", "0,00005"}));
}

TEST(FormatAxisLabel, a_deep_zoom_of_pressure_keeps_its_grouping_and_tells_labels_apart)
{
    EXPECT_EQ(LabelTexts(1035.056, 1035.0575, 15),
              (std::vector<std::string>{"1 035,0574", "1 035,0573", "1 035,0572", "1 035,0571",
                                        "1 035,057", "1 035,0569", "1 035,0568", "1 035,0567", "1 035,0566",
                                        "1 035,0565", "1 035,0564", "1 035,0563", "1 035,0562", "1 035,0561",
                                        "1 035,056"}));
    // Nearly the deepest zoom that still shows labels (the top label's index
    // must fit in 32 bits): a millionth of a hPa.
    EXPECT_EQ(LabelTexts(1035.05, 1035.0500045, 5),
              (std::vector<std::string>{"1 035,050004", "1 035,050003", "1 035,050002", "1 035,050001",
                                        "1 035,05"}));
}

TEST(FormatAxisLabel, steps_of_a_thousandth_or_more_keep_the_three_decimal_text)
{
    const struct {
        double lo, hi;
        int maxLabels;
    } scales[] = {{1035.05, 1035.06, 15}, {1000.0, 1000.3, 15}, {1.00013, 60.0078, 5},
                  {-0.0123, 0.0047, 20}, {-1234567.5, 0.0, 8},  {0.0, 3e-3, 3}};
    for (const auto& s : scales) {
        const double step = LabelStep(s.hi - s.lo, 0.0, s.maxLabels, 10);
        ASSERT_GE(step, 0.001 * (1 - 1e-12)) << s.lo;
        const LabelFormat format = ChooseLabelFormat(step, s.lo, s.hi);
        for (double v : LabelValues(s.lo, s.hi, step, true, true))
            EXPECT_EQ(FormatAxisLabel(v, format, ',', " "), FormatAxisValue(v, ',', " ")) << v;
    }
}

TEST(ChooseLabelFormat, keeps_the_fixed_form_up_to_fifteen_characters_at_the_step_s_decimals)
{
    // The ends are no multiples of the step, so one decimal more would show
    // in their text and push it past fifteen characters.
    const double hairBelow = 1e-4 * (1 - 4e-15); // rounding errors: 29 units in the last place
    const struct {
        double step, lo, hi;
        LabelFormat format;
    } cases[] = {
        {1e-4, 12345678.0, 12345678.00017, {4, false}},  // "12 345 678,0002": 15 characters
        {hairBelow, 12345678.0, 12345678.00017, {4, false}},
        {1e-4, 123456789.0, 123456789.00017, {4, true}}, // "123 456 789,0002": 16
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hi);
        EXPECT_EQ(ChooseLabelFormat(c.step, c.lo, c.hi), c.format);
    }
}

TEST(FormatAxisLabel, a_wished_increment_just_short_of_a_thousandth_keeps_neighbours_apart)
{
    // With three decimals the labels near -0.9985 and -0.9975 would both
    // read -0,998: the 2 002 labels of -2..0 take four decimals.
    const double step = 0.0009995;
    const LabelFormat format = ChooseLabelFormat(step, -2.0, 0.0);
    EXPECT_EQ(format, (LabelFormat{4, false}));
    const std::vector<double> labels = LabelValues(-2.0, 0.0, step, true, true);
    ASSERT_EQ(labels.size(), 2002u);
    for (std::size_t i = 1; i < labels.size(); ++i)
        ASSERT_NE(FormatAxisLabel(labels[i - 1], format, ',', " "), FormatAxisLabel(labels[i], format, ',', " "))
            << labels[i];
}

TEST(FormatAxisLabel, huge_values_take_the_general_form_and_stay_short)
{
    EXPECT_EQ(LabelTexts(0.0, 1e300, 10),
              (std::vector<std::string>{"9E299", "8E299", "7E299", "6E299", "5E299", "4E299", "3E299",
                                        "2E299", "1E299", "0"}));
    // Pressures read with a coefficient of 1e300: step 5e298.
    const std::vector<std::string> pressures = LabelTexts(1.01325e302, 1.02e302, 20);
    ASSERT_EQ(pressures.size(), 13u);
    EXPECT_EQ(pressures.front(), "1,0195E302");
    EXPECT_EQ(pressures[1], "1,019E302");
    EXPECT_EQ(pressures.back(), "1,0135E302");
    for (const std::string& text : pressures)
        EXPECT_LE(text.size(), 15u) << text;
}

TEST(ScaleMap, maps_values_to_pixels_rounding_halves_to_even)
{
    const ScaleMap h{0.0, 10.0, 100, 200, 150, true, false};
    const ScaleMap v{0.0, 10.0, 50, 150, 100, false, false};
    const ScaleMap hInverted{0.0, 10.0, 100, 200, 150, true, true};
    const ScaleMap vInverted{0.0, 10.0, 50, 150, 100, false, true};
    const ScaleMap zeroWidth{5.0, 5.0, 100, 200, 150, true, false};
    const ScaleMap huge{0.0, 1.6e308, 100, 200, 150, true, false};
    const struct {
        const char* what;
        const ScaleMap& map;
        double value;
        int pixel;
    } cases[] = {
        {"left end", h, 0.0, 100},
        {"right end", h, 10.0, 200},
        {"2.5 -> 2", h, 0.25, 102},
        {"3.5 -> 4", h, 0.35, 104},
        {"outside the plot", h, -1.0, 90},
        {"bottom", v, 0.0, 150},
        {"top", v, 10.0, 50},
        {"vertical rounding", v, 0.25, 148},
        {"inverted: minimum on the right", hInverted, 0.0, 200},
        {"inverted: maximum on the left", hInverted, 10.0, 100},
        {"inverted vertical: maximum at the bottom", vInverted, 10.0, 150},
        {"zero width: the middle", zeroWidth, 5.0, 150},
        {"zero width: any value in the middle", zeroWidth, 1e9, 150},
        {"a product beyond the largest double", huge, 1.2e308, 175},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.map.ValueToPixel(c.value), c.pixel) << c.what;
    EXPECT_DOUBLE_EQ(hInverted.PixelToValue(200), 0.0);
}

TEST(ScaleMap, far_values_are_clamped_to_drawable_pixels)
{
    ScaleMap h{0.0, 1e-10, 0, 1000, 500, true, false};
    EXPECT_EQ(h.ValueToPixel(1e6), 536870912);
    EXPECT_EQ(h.ValueToPixel(-1e6), -536870912);
    EXPECT_EQ(h.ValueToPixel(NAN), 0);
}

TEST(ScaleMap, pixel_to_value_inverts_the_map)
{
    ScaleMap h{10.0, 20.0, 100, 200, 150, true, false};
    EXPECT_DOUBLE_EQ(h.PixelToValue(100), 10.0);
    EXPECT_DOUBLE_EQ(h.PixelToValue(150), 15.0);
    EXPECT_DOUBLE_EQ(h.PixelToValue(250), 25.0);
    ScaleMap v{10.0, 20.0, 50, 150, 100, false, false};
    EXPECT_DOUBLE_EQ(v.PixelToValue(50), 20.0);
    EXPECT_DOUBLE_EQ(v.PixelToValue(150), 10.0);
    ScaleMap empty{10.0, 20.0, 100, 100, 100, true, false};
    EXPECT_EQ(empty.PixelToValue(120), 0.0);
}
