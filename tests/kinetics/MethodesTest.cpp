// The lower-level methods replay the examples of their headers.
#include "kinetics/DemiReactionGraphique.h"
#include "kinetics/DeriveeSavitzkyGolay.h"
#include "kinetics/TestDesSuites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace Cinetique;

TEST(DeriveeSavitzkyGolay, header_examples)
{
    const std::vector<double> t = {0, 1, 2, 3, 4};
    const std::vector<double> carre = {0, 1, 4, 9, 16};
    const std::vector<double> derivee = DeriveeSavitzkyGolay(t, carre, 3);
    const std::vector<double> attendue = {0, 2, 4, 6, 8};
    for (std::size_t i = 0; i < t.size(); ++i)
        EXPECT_NEAR(derivee[i], attendue[i], 1e-12);

    const std::vector<double> t7 = {0, 1, 2, 3, 4, 5, 6};
    std::vector<double> droite;
    for (double x : t7)
        droite.push_back(2 * x + 1);
    for (double d : DeriveeSavitzkyGolay(t7, droite, 5))
        EXPECT_NEAR(d, 2, 1e-12);
}

TEST(DemiReactionGraphique, header_examples)
{
    EXPECT_DOUBLE_EQ(*DemiReactionGraphique(std::vector<double>{0, 10, 20, 30}, std::vector<double>{0, 4, 8, 9}, 10),
                     12.5);
    EXPECT_DOUBLE_EQ(*DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{5, 3, 1}, 1), 10);
    EXPECT_FALSE(DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{0, 1, 2}, 10));
    EXPECT_FALSE(DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{3, 1, 5}, 3));
}

TEST(ScoreDesSuites, header_examples)
{
    const double z = -4 / std::sqrt(20.0 / 9); // -2.683
    EXPECT_NEAR(ScoreDesSuites(std::vector<double>{1, 2, 1, 3, 1, -1, -2, -1, -3, -1}), z, 1e-12);
    EXPECT_NEAR(ScoreDesSuites(std::vector<double>{1, -1, 2, -2, 1, -1, 3, -3, 1, -1}), -z, 1e-12);
    EXPECT_EQ(ScoreDesSuites(std::vector<double>{1, 2, 0, 3}), 0);
}

} // namespace
