#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
// Keeps the compiler from folding the operations at compile time.
volatile long double zero = 0.0L;
volatile long double one = 1.0L;
const long double huge = std::numeric_limits<long double>::max();
const long double inf = std::numeric_limits<long double>::infinity();
} // namespace

TEST(CheckedFloat, each_failed_step_raises_its_own_error)
{
    EXPECT_THROW(Checked::Divide(zero, zero), EInvalidOp);
    EXPECT_THROW(Checked::Subtract(inf, inf), EInvalidOp);
    EXPECT_THROW(Checked::Multiply(zero, inf), EInvalidOp);
    EXPECT_THROW(Checked::Divide(one, zero), EZeroDivide);
    EXPECT_THROW(Checked::Divide(-one, zero), EZeroDivide);
    EXPECT_THROW(Checked::Multiply(huge, 2.0L), EOverflow);
    EXPECT_THROW(Checked::Add(huge, huge), EOverflow);
    EXPECT_THROW(Checked::Divide(huge, 0.5L), EOverflow);
    EXPECT_THROW(Checked::ToDouble(1e400L), EOverflow);
}

TEST(CheckedFloat, underflow_inexact_results_and_nan_or_infinite_operands_pass)
{
    const long double tiny = std::numeric_limits<long double>::denorm_min();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(Checked::Divide(tiny, 4.0L), 0.0L);
    EXPECT_NEAR(static_cast<double>(Checked::Divide(one, 3.0L)), 1.0 / 3.0, 1e-15);
    EXPECT_EQ(Checked::ToDouble(1e-4000L), 0.0);
    EXPECT_EQ(Checked::ToDouble(0.25L), 0.25);
    EXPECT_EQ(Checked::Add(inf, one), inf);
    EXPECT_TRUE(std::isinf(Checked::ToDouble(inf)));
    EXPECT_TRUE(std::isnan(Checked::Add(nan, one)));
    EXPECT_TRUE(std::isnan(Checked::Divide(nan, zero)));
}
