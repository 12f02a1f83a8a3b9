#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
// Keeps the compiler from folding the operations at compile time.
volatile long double zero = 0.0L;
volatile long double one = 1.0L;
} // namespace

TEST(CheckedFloat, zero_over_zero_is_an_invalid_operation)
{
    EXPECT_THROW(Checked::Divide(zero, zero), EInvalidOp);
    try {
        Checked::Divide(zero, zero);
    } catch (const EInvalidOp& error) {
        EXPECT_STREQ(error.what(), "Opération en virgule flottante incorrecte");
    }
}

TEST(CheckedFloat, non_zero_over_zero_is_a_division_by_zero)
{
    EXPECT_THROW(Checked::Divide(one, zero), EZeroDivide);
    EXPECT_THROW(Checked::Divide(-one, zero), EZeroDivide);
    EXPECT_STREQ(EZeroDivide().what(), "Division par zéro en virgule flottante");
}

TEST(CheckedFloat, results_beyond_the_extended_range_overflow)
{
    const long double huge = std::numeric_limits<long double>::max();
    EXPECT_THROW(Checked::Multiply(huge, 2.0L), EOverflow);
    EXPECT_THROW(Checked::Add(huge, huge), EOverflow);
    EXPECT_THROW(Checked::Divide(huge, 0.5L), EOverflow);
    EXPECT_STREQ(EOverflow().what(), "Débordement en virgule flottante");
}

TEST(CheckedFloat, infinity_minus_infinity_is_invalid_but_infinite_operands_pass)
{
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_THROW(Checked::Subtract(inf, inf), EInvalidOp);
    EXPECT_THROW(Checked::Multiply(zero, inf), EInvalidOp);
    EXPECT_EQ(Checked::Add(inf, one), inf);
}

TEST(CheckedFloat, underflow_and_inexact_results_are_not_errors)
{
    const long double tiny = std::numeric_limits<long double>::denorm_min();
    EXPECT_EQ(Checked::Divide(tiny, 4.0L), 0.0L);
    EXPECT_NEAR(static_cast<double>(Checked::Divide(one, 3.0L)), 1.0 / 3.0, 1e-15);
    EXPECT_EQ(Checked::ToDouble(1e-4000L), 0.0);
}

TEST(CheckedFloat, nan_operands_propagate_quietly)
{
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(Checked::Add(nan, one)));
    EXPECT_TRUE(std::isnan(Checked::Divide(nan, zero)));
}

TEST(CheckedFloat, narrowing_to_double_overflows_beyond_the_double_range)
{
    EXPECT_THROW(Checked::ToDouble(1e400L), EOverflow);
    EXPECT_EQ(Checked::ToDouble(0.25L), 0.25);
    EXPECT_TRUE(std::isinf(Checked::ToDouble(std::numeric_limits<long double>::infinity())));
}
