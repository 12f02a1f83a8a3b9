#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Every test sets the separator it expects, and puts the previous one back.
class FormatGeneralTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }

private:
    char saved_ = ',';
};

struct Cas {
    long double value;
    const char* text;
};

void ExpectAll(const Cas* cases, std::size_t count, int precision)
{
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(FormatGeneral(cases[i].value, precision), cases[i].text)
            << "value " << static_cast<double>(cases[i].value) << " at precision " << precision;
}

TEST_F(FormatGeneralTest, replays_the_examples_of_the_header)
{
    EXPECT_EQ(FormatGeneral(0, 4), "0");
    EXPECT_EQ(FormatGeneral(0.5, 4), "0,5");
    EXPECT_EQ(FormatGeneral(1.00013, 4), "1");
    EXPECT_EQ(FormatGeneral(0.0001, 4), "0,0001");
    EXPECT_EQ(FormatGeneral(0.00001, 4), "1E-5");
    EXPECT_EQ(FormatGeneral(12345, 4), "1,235E4");
    EXPECT_EQ(FormatGeneral(9999.5, 4), "1E4");
    EXPECT_EQ(FormatGeneral(-0.000205254, 4), "-0,0002053");
    EXPECT_EQ(FormatGeneral(123456.7, 6), "123457");
    EXPECT_EQ(ReadNumber(" 0,25 "), 0.25L);
    EXPECT_EQ(ReadNumber("1E+5"), 100000.0L);
    EXPECT_EQ(ReadNumber(","), 0.0L);
    try {
        ReadNumber("0.25");
        ADD_FAILURE() << "0.25 was read under a comma separator";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "'0.25' n'est pas une valeur en virgule flottante correcte");
    }
}

TEST_F(FormatGeneralTest, writes_the_program_examples_at_precisions_4_and_6)
{
    const Cas p4[] = {
        {0, "0"},           {0.5, "0,5"},         {1.00013, "1"},         {1023.13, "1023"},
        {0.0001, "0,0001"}, {0.00001, "1E-5"},    {12345, "1,235E4"},     {100000, "1E5"},
        {101325, "1,013E5"}, {-0.000205254, "-0,0002053"}, {9999.5, "1E4"},
    };
    ExpectAll(p4, std::size(p4), 4);
    const Cas p6[] = {{0.00125061, "0,00125061"}, {123456.7, "123457"}};
    ExpectAll(p6, std::size(p6), 6);
}

TEST_F(FormatGeneralTest, writes_the_samples_of_the_exported_table)
{
    const Cas samples[] = {
        {0, "0"},
        {0.25, "0,25"},
        {1.01325, "1,013"},
        {100, "100"},
        {1234, "1234"},
        {9999.5, "1E4"},
        {12345, "1,235E4"},
        {101325, "1,013E5"},
        {101650, "1,017E5"},
        {-101325, "-1,013E5"},
        {0.0001, "0,0001"},
        {0.000099996, "0,0001"},
        {0.000099994, "9,999E-5"},
        {0.0000123, "1,23E-5"},
        {-0.0000123, "-1,23E-5"},
        {1E20, "1E20"},
    };
    ExpectAll(samples, std::size(samples), 4);
}

TEST_F(FormatGeneralTest, uses_the_process_wide_separator)
{
    SetDecimalSeparator('.');
    EXPECT_EQ(FormatGeneral(0.5, 4), "0.5");
    EXPECT_EQ(FormatGeneral(0.25, 4), "0.25");
    EXPECT_EQ(FormatGeneral(1.01325, 4), "1.013");
    EXPECT_EQ(FormatGeneral(12345, 4), "1.235E4");
    EXPECT_EQ(FormatGeneral(-0.0000123, 4), "-1.23E-5");
}

TEST_F(FormatGeneralTest, writes_zero_infinities_and_nan_without_sign)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(FormatGeneral(-0.0L, 4), "0");
    EXPECT_EQ(FormatGeneral(inf, 4), "INF");
    EXPECT_EQ(FormatGeneral(-inf, 4), "INF");
    EXPECT_EQ(FormatGeneral(nan, 4), "NAN");
    EXPECT_EQ(FormatGeneral(-nan, 4), "NAN");
}

TEST_F(FormatGeneralTest, a_carry_into_a_new_digit_can_change_the_notation)
{
    EXPECT_EQ(FormatGeneral(9999.5, 4), "1E4");
    EXPECT_EQ(FormatGeneral(9999.4, 4), "9999");
    EXPECT_EQ(FormatGeneral(-9999.5, 4), "-1E4");
    EXPECT_EQ(FormatGeneral(0.000099996, 4), "0,0001");
    EXPECT_EQ(FormatGeneral(0.000099994, 4), "9,999E-5");
    EXPECT_EQ(FormatGeneral(0.99995, 4), "1");
    EXPECT_EQ(FormatGeneral(99.9951L, 4), "100");
}

TEST_F(FormatGeneralTest, rounds_through_18_digits_before_rounding_half_up)
{
    // Just below the tie 1.2345, but 1.23450000000000000 at 18 digits.
    const long double belowTie = std::nextafter(1.2345L, 0.0L);
    ASSERT_LT(belowTie, 1.2345L);
    EXPECT_EQ(FormatGeneral(belowTie, 4), "1,235");
    // The double nearest 1.2345 is 1.23449999999999993..., below the tie at 18 digits.
    EXPECT_EQ(FormatGeneral(1.2345, 4), "1,234");
    EXPECT_EQ(FormatGeneral(2.5, 2), "2,5");
    EXPECT_EQ(FormatGeneral(0.125, 2), "0,13");
    EXPECT_EQ(FormatGeneral(-0.125, 2), "-0,13");
}

TEST_F(FormatGeneralTest, chooses_fixed_notation_for_exponents_minus_3_to_precision)
{
    EXPECT_EQ(FormatGeneral(1000, 4), "1000");
    EXPECT_EQ(FormatGeneral(10000, 4), "1E4");
    EXPECT_EQ(FormatGeneral(10000, 5), "10000");
    EXPECT_EQ(FormatGeneral(120, 4), "120");
    EXPECT_EQ(FormatGeneral(1200.5, 4), "1201");
    EXPECT_EQ(FormatGeneral(0.00012346, 4), "0,0001235");
    EXPECT_EQ(FormatGeneral(0.000012346, 4), "1,235E-5");
    EXPECT_EQ(FormatGeneral(5E-324, 4), "4,941E-324");
    EXPECT_EQ(FormatGeneral(LDBL_MAX, 4), "1,19E4932");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<long double>::denorm_min(), 4), "3,645E-4951");
}

TEST_F(FormatGeneralTest, clamps_the_precision_to_2_through_18)
{
    EXPECT_EQ(FormatGeneral(123.456, 1), FormatGeneral(123.456, 2));
    EXPECT_EQ(FormatGeneral(123.456, -7), "1,2E2");
    EXPECT_EQ(FormatGeneral(1.0L / 3, 18), "0,333333333333333333");
    EXPECT_EQ(FormatGeneral(1.0L / 3, 40), "0,333333333333333333");
    EXPECT_EQ(FormatGeneral(2.0L / 3, 18), "0,666666666666666667");
    EXPECT_EQ(FormatGeneral(123456789012345678.0L, 18), "123456789012345678");
    EXPECT_EQ(FormatGeneral(1234567890123456789.0L, 18), "1,23456789012345679E18");
}

} // namespace
