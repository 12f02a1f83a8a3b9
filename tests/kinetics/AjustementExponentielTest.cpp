// The exponential fit against certified and independent references.
#include "kinetics/AjustementExponentiel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Cinetique::AjustementExponentiel;

// |actual - expected| within `chiffres` significant digits of expected.
::testing::AssertionResult Chiffres(double actual, double expected, int chiffres)
{
    const double tolerance = 0.5 * std::pow(10.0, 1 - chiffres) * std::abs(expected);
    if (std::abs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " differs from " << expected << " beyond " << chiffres
                                         << " significant digits";
}

// NIST StRD nonlinear regression, y = b1·(1 - exp(-b2·x)), certified values.
struct Nist {
    const char* nom;
    std::vector<double> x, y;
    double b1, ub1, b2, ub2, ssr;
};

const Nist kNist[] = {
    {"Misra1a",
     {77.6, 114.9, 141.1, 190.8, 239.9, 289.0, 332.8, 378.4, 434.8, 477.3, 536.8, 593.1, 689.1, 760.0},
     {10.07, 14.73, 17.94, 23.93, 29.61, 35.18, 40.02, 44.82, 50.76, 55.05, 61.01, 66.40, 75.47, 81.78},
     2.3894212918E+02, 2.7070075241E+00, 5.5015643181E-04, 7.2668688436E-06, 1.2455138894E-01},
    {"BoxBOD",
     {1, 2, 3, 5, 7, 10},
     {109, 149, 149, 191, 213, 224},
     2.1380940889E+02, 1.2354515176E+01, 5.4723748542E-01, 1.0455993237E-01, 1.1680088766E+03},
};

TEST(AjustementExponentiel, fixed_origin_reproduces_the_certified_nist_fits_without_starting_values)
{
    for (const Nist& cas : kNist) {
        SCOPED_TRACE(cas.nom);
        const AjustementExponentiel a = Cinetique::AjusterExponentielleOrigineFixee(cas.x, cas.y, 0, 0);
        EXPECT_TRUE(Chiffres(a.yInf, cas.b1, 6));
        EXPECT_TRUE(Chiffres(a.uYInf, cas.ub1, 6));
        EXPECT_TRUE(Chiffres(a.k, cas.b2, 6));
        EXPECT_TRUE(Chiffres(a.uK, cas.ub2, 6));
        EXPECT_TRUE(Chiffres(a.ssr, cas.ssr, 6));
        EXPECT_EQ(a.parametres, 2);
        EXPECT_FALSE(a.borne);
    }
}

} // namespace
