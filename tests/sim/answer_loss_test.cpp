#include "answer_loss.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolm::sim {
namespace {

std::vector<bool> Losses(std::uint32_t seed, double share, int answers) {
    AnswerLoss loss(seed, share);
    std::vector<bool> lost;
    for (int i = 0; i < answers; ++i) lost.push_back(loss.Drops());
    return lost;
}

int Count(const std::vector<bool>& lost) {
    int count = 0;
    for (bool one : lost) count += one;
    return count;
}

TEST(AnswerLoss, LosesTheGivenShareTheSameWayForTheSameSeed) {
    EXPECT_EQ(Count(Losses(1, 0, 10000)), 0);
    EXPECT_EQ(Count(Losses(1, 1, 10000)), 10000);
    const auto tenth = Losses(5, 0.1, 10000);
    EXPECT_GT(Count(tenth), 900);
    EXPECT_LT(Count(tenth), 1100);
    EXPECT_EQ(tenth, Losses(5, 0.1, 10000));
    EXPECT_NE(tenth, Losses(6, 0.1, 10000));
}

TEST(AnswerLoss, ReadsASharePlainlyWritten) {
    EXPECT_EQ(ParseShare("0.1"), 0.1);
    EXPECT_EQ(ParseShare("1"), 1.0);
    EXPECT_EQ(ParseShare(".5"), 0.5);
    for (const char* bad : {"", ".", "1.5", "-0.1", "0.1.2", "1e-1", "10%", " 0.1", "nan"})
        EXPECT_FALSE(ParseShare(bad)) << bad;
}

}  // namespace
}  // namespace tolm::sim
