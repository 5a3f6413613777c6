// When a scan ends, on a clock the test sets.
#include "scan_timing.h"

#include <gtest/gtest.h>

namespace tolm::linkora {
namespace {

const Clock::time_point kStart{};

Clock::time_point At(int ms) {
    return kStart + Milliseconds(ms);
}

ScanLimits Limits(int quiet, int min_wait, int max_wait, std::size_t expect = 0) {
    return {Milliseconds(quiet), Milliseconds(min_wait), Milliseconds(max_wait), expect};
}

TEST(ScanTiming, WithoutAnswersEndsAtTheLaterOfQuietPeriodAndMinimum) {
    EXPECT_EQ(ScanTiming(Limits(300, 300, 3000), kStart).Deadline(), At(300));
    EXPECT_EQ(ScanTiming(Limits(500, 100, 3000), kStart).Deadline(), At(500));
    EXPECT_EQ(ScanTiming(Limits(100, 800, 3000), kStart).Deadline(), At(800));
}

TEST(ScanTiming, EachNewAnswerStartsTheQuietPeriodAgain) {
    ScanTiming timing(Limits(300, 300, 3000), kStart);
    timing.NewAnswer(At(250));
    EXPECT_EQ(timing.Deadline(), At(550));
    EXPECT_FALSE(timing.Ended(At(549), 1));
    EXPECT_TRUE(timing.Ended(At(550), 1));
    timing.NewAnswer(At(100));  // taken late: an earlier time does not pull the end forward
    EXPECT_EQ(timing.Deadline(), At(550));
}

TEST(ScanTiming, MinimumHoldsAnEarlyQuietEnd) {
    ScanTiming timing(Limits(100, 300, 3000), kStart);
    timing.NewAnswer(At(10));
    EXPECT_EQ(timing.Deadline(), At(300));
}

TEST(ScanTiming, MaximumEndsAScanThatKeepsGettingAnswers) {
    ScanTiming timing(Limits(300, 300, 1000), kStart);
    for (int ms = 0; ms <= 1200; ms += 200) timing.NewAnswer(At(ms));
    EXPECT_EQ(timing.Deadline(), At(1000));
    EXPECT_TRUE(timing.Ended(At(1000), 7));
}

TEST(ScanTiming, ExpectedCountEndsAtOnce) {
    const ScanTiming timing(Limits(300, 300, 3000, 3), kStart);
    EXPECT_FALSE(timing.Ended(At(5), 2));
    EXPECT_TRUE(timing.Ended(At(5), 3));
    EXPECT_TRUE(timing.Ended(At(300), 0)) << "the other rules still end it";
}

}  // namespace
}  // namespace tolm::linkora
