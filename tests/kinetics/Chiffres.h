#pragma once
// Comparison of a computed value with a reference to a number of significant
// digits.
#include <gtest/gtest.h>

#include <cmath>

// |actual - expected| within half a unit of the `chiffres`-th significant
// digit of expected.
inline ::testing::AssertionResult Chiffres(double actual, double expected, int chiffres)
{
    const double tolerance = 0.5 * std::pow(10.0, 1 - chiffres) * std::abs(expected);
    if (std::abs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " differs from " << expected << " beyond " << chiffres
                                         << " significant digits";
}
