// When a scan sends its next round and when it ends, on a clock the test sets.
#include "cli/session/scan_timing.h"

#include <gtest/gtest.h>

namespace tolm::linkora {
namespace {

using Step = ScanTiming::Step;

const Clock::time_point kStart{};

Clock::time_point At(int ms) {
    return kStart + Milliseconds(ms);
}

ScanLimits Limits(int quiet, int min_wait, int max_wait, int rounds = 5, std::size_t expect = 0) {
    return {Milliseconds(quiet), Milliseconds(min_wait), Milliseconds(max_wait), rounds, expect};
}

// Answers get lost: each quiet round is followed by another until one adds
// nobody, and the scan never ends before the minimum wait.
TEST(ScanTiming, SendsRoundsUntilOneAddsNobodyAndEndsNoEarlierThanTheMinimum) {
    ScanTiming timing(Limits(300, 1500, 5000), kStart);
    timing.NewAnswer(At(10));
    EXPECT_EQ(timing.Next(At(309), 1), Step::kWait);
    EXPECT_EQ(timing.Deadline(), At(310));
    EXPECT_EQ(timing.Next(At(310), 1), Step::kSendRound) << "a second round, always";
    timing.RoundSent(At(310));
    timing.NewAnswer(At(320));  // a module whose first answer was lost
    EXPECT_EQ(timing.Next(At(620), 2), Step::kSendRound);
    timing.RoundSent(At(620));
    EXPECT_EQ(timing.Next(At(919), 2), Step::kWait);
    EXPECT_EQ(timing.Next(At(920), 2), Step::kWait) << "added nobody, but before the minimum";
    EXPECT_EQ(timing.Deadline(), At(1500));
    timing.NewAnswer(At(1200));  // a slow module: no new round, but quiet again first
    EXPECT_EQ(timing.Next(At(1500), 3), Step::kEnd);
    EXPECT_EQ(timing.RoundsSent(), 3);
}

TEST(ScanTiming, RoundsAndTheMaximumBoundAScanThatKeepsGettingAnswers) {
    ScanTiming timing(Limits(100, 0, 10000, 3), kStart);
    for (int round = 1; round < 3; ++round) {
        timing.NewAnswer(At(round * 200 - 150));
        EXPECT_EQ(timing.Next(At(round * 200), round), Step::kSendRound);
        timing.RoundSent(At(round * 200));
    }
    timing.NewAnswer(At(450));
    EXPECT_EQ(timing.Next(At(550), 3), Step::kEnd) << "the last round";

    ScanTiming endless(Limits(300, 300, 1000), kStart);
    for (int ms = 0; ms <= 1200; ms += 200) endless.NewAnswer(At(ms));
    EXPECT_EQ(endless.Deadline(), At(1000));
    EXPECT_EQ(endless.Next(At(1000), 7), Step::kEnd);
}

TEST(ScanTiming, ExpectedCountEndsAtOnceAndLateTakesDoNotPullTheEndForward) {
    ScanTiming timing(Limits(300, 1500, 5000, 5, 3), kStart);
    EXPECT_EQ(timing.Next(At(5), 2), Step::kWait);
    EXPECT_EQ(timing.Next(At(5), 3), Step::kEnd);
    timing.NewAnswer(At(250));
    timing.NewAnswer(At(100));  // taken late
    EXPECT_EQ(timing.Deadline(), At(550));
}

}  // namespace
}  // namespace tolm::linkora
