// The graphical half-time replays its header's examples: a rise, a fall, a
// curve that never gets half-way, a final value equal to the start.
#include "kinetics/DemiReactionGraphique.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Cinetique;

TEST(DemiReactionGraphique, header_examples)
{
    EXPECT_DOUBLE_EQ(*DemiReactionGraphique(std::vector<double>{0, 10, 20, 30}, std::vector<double>{0, 4, 8, 9}, 10),
                     12.5);
    EXPECT_DOUBLE_EQ(*DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{5, 3, 1}, 1), 10);
    EXPECT_FALSE(DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{0, 1, 2}, 10));
    EXPECT_FALSE(DemiReactionGraphique(std::vector<double>{0, 10, 20}, std::vector<double>{3, 1, 5}, 3));
}

} // namespace
