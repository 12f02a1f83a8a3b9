// The exponential fit against certified and independent references.
#include "kinetics/AjustementExponentiel.h"

#include "Chiffres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using Cinetique::AjustementExponentiel;

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

// A one-hour run, one point a second, rising or falling by 20 000 Pa with
// noise of 50 Pa: from a rise over in two seconds to one that lasts three
// hours, the fit finds k within four of its standard uncertainties, with no
// hint from the caller.
TEST(AjustementExponentiel, finds_every_time_scale_a_run_can_show)
{
    for (const double tau : {0.5, 5.0, 50.0, 400.0, 3000.0, 10000.0}) {
        for (const double sens : {1.0, -1.0}) {
            SCOPED_TRACE(::testing::Message() << "tau " << tau << " s, sens " << sens);
            std::mt19937 generateur(7);
            std::normal_distribution<double> bruit(0, 50);
            std::vector<double> t, p;
            for (int i = 0; i < 3600; ++i) {
                t.push_back(i * 1.00013);
                p.push_back(100000 + sens * 20000 * (1 - std::exp(-t.back() / tau)) + bruit(generateur));
            }
            const AjustementExponentiel a = Cinetique::AjusterExponentielle(t, p);
            EXPECT_NEAR(a.k, 1 / tau, 4 * a.uK);
            EXPECT_NEAR(a.yInf, 100000 + sens * 20000, 4 * a.uYInf);
            EXPECT_NEAR(a.y0, 100000, 4 * a.uY0);
            EXPECT_FALSE(a.borne);
        }
    }
}

} // namespace
