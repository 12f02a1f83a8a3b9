#include "SeparatorFixture.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

using FormatGeneralTest = CommaSeparatorTest;

struct Cas {
    long double value;
    int precision;
    const char* text;
};

void ExpectAll(std::initializer_list<Cas> cases)
{
    for (const Cas& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << static_cast<double>(c.value) << " at precision "
                                        << c.precision);
        EXPECT_EQ(FormatGeneral(c.value, c.precision, DecimalSeparator()), c.text);
    }
}

TEST_F(FormatGeneralTest, writes_the_examples_and_exported_table_samples)
{
    ExpectAll({
        {0, 4, "0"},           {0.5, 4, "0,5"},          {1.00013, 4, "1"},
        {1.01325, 4, "1,013"}, {1023.13, 4, "1023"},     {100, 4, "100"},
        {0.0001, 4, "0,0001"}, {0.00001, 4, "1E-5"},     {12345, 4, "1,235E4"},
        {100000, 4, "1E5"},    {101325, 4, "1,013E5"},   {-101325, 4, "-1,013E5"},
        {101650, 4, "1,017E5"}, {-0.000205254, 4, "-0,0002053"}, {0.0000123, 4, "1,23E-5"},
        {-0.0000123, 4, "-1,23E-5"}, {1E20, 4, "1E20"}, {0.00125061, 6, "0,00125061"},
        {123456.7, 6, "123457"},
    });
}

TEST_F(FormatGeneralTest, a_carry_into_a_new_digit_can_change_the_notation)
{
    ExpectAll({
        {9999.5, 4, "1E4"}, {9999.4, 4, "9999"}, {-9999.5, 4, "-1E4"}, {0.000099996, 4, "0,0001"},
        {0.000099994, 4, "9,999E-5"}, {0.99995, 4, "1"}, {99.9951L, 4, "100"},
    });
}

TEST_F(FormatGeneralTest, rounds_through_18_digits_before_rounding_half_up)
{
    // Just below the tie 1.2345, but 1.23450000000000000 at 18 digits.
    const long double belowTie = std::nextafter(1.2345L, 0.0L);
    ASSERT_LT(belowTie, 1.2345L);
    ExpectAll({
        {belowTie, 4, "1,235"},
        // The double nearest 1.2345 is 1.23449999999999993..., below the tie at 18 digits.
        {1.2345, 4, "1,234"},
        {2.5, 2, "2,5"},
        {0.125, 2, "0,13"},
        {-0.125, 2, "-0,13"},
    });
}

TEST_F(FormatGeneralTest, chooses_fixed_notation_for_exponents_minus_3_to_precision)
{
    ExpectAll({
        {1000, 4, "1000"}, {10000, 4, "1E4"}, {10000, 5, "10000"}, {120, 4, "120"}, {1200.5, 4, "1201"},
        {0.00012346, 4, "0,0001235"}, {0.000012346, 4, "1,235E-5"}, {5E-324, 4, "4,941E-324"},
        {LDBL_MAX, 4, "1,19E4932"}, {std::numeric_limits<long double>::denorm_min(), 4, "3,645E-4951"},
    });
}

TEST_F(FormatGeneralTest, clamps_the_precision_to_2_through_18)
{
    ExpectAll({
        {123.456, 1, "1,2E2"}, {123.456, -7, "1,2E2"},
        {1.0L / 3, 18, "0,333333333333333333"}, {1.0L / 3, 40, "0,333333333333333333"},
        {2.0L / 3, 18, "0,666666666666666667"}, {123456789012345678.0L, 18, "123456789012345678"},
        {1234567890123456789.0L, 18, "1,23456789012345679E18"},
    });
}

TEST_F(FormatGeneralTest, writes_zero_infinities_and_nan_without_sign)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    ExpectAll({{-0.0L, 4, "0"}, {inf, 4, "INF"}, {-inf, 4, "INF"}, {nan, 4, "NAN"}, {-nan, 4, "NAN"}});
}

TEST_F(FormatGeneralTest, uses_the_process_wide_separator)
{
    SetDecimalSeparator('.');
    ExpectAll({{0.25, 4, "0.25"}, {12345, 4, "1.235E4"}, {-0.0000123, 4, "-1.23E-5"}});
}

} // namespace
