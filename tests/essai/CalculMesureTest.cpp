// The arithmetic of a measured point, on the worked examples of the run.
#include "essai/CalculMesure.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

using namespace CalculMesure;

TEST(CalculMesure, pressure_is_the_coefficient_times_channel_one_or_half_the_difference_of_the_channels)
{
    EXPECT_EQ(Pression(false, 1.0, 0.7, 100000), 100000.0L);
    EXPECT_EQ(Pression(false, -0.25, 3.0, 100000), -25000.0L);
    EXPECT_EQ(Pression(true, 0.5, -0.5, 100000), 50000.0L);
    EXPECT_EQ(Pression(true, 0.3, 0.3, 100000), 0.0L);
}

TEST(CalculMesure, amount_of_gas_follows_the_ideal_gas_law)
{
    // 100 000 Pa in 0.25 L at 20 °C (293 K).
    EXPECT_NEAR(static_cast<double>(Quantite(100000, 0.25 / 1000, 293)), 0.0102627, 5e-8);
    // From 100 000 to 102 000 Pa the extent of reaction is about 0.000205254 mol.
    const long double avancement = Quantite(102000, 0.25 / 1000, 293) - Quantite(100000, 0.25 / 1000, 293);
    EXPECT_NEAR(static_cast<double>(avancement), 0.000205254, 5e-10);
    // A negative absolute temperature is taken as it is.
    EXPECT_LT(Quantite(100000, 0.25 / 1000, -27), 0.0L);
}

TEST(CalculMesure, steps_raise_the_floating_point_errors)
{
    EXPECT_THROW(Quantite(100000, 0.00025, 0), EZeroDivide);
    EXPECT_THROW(Quantite(0, 0.00025, 0), EInvalidOp);
    const double enorme = std::numeric_limits<double>::max();
    EXPECT_NO_THROW(Pression(false, 1e300, 0, enorme)); // extended precision holds it
    EXPECT_THROW(Quantite(std::numeric_limits<long double>::max(), enorme, 1), EOverflow);
}
