#include "answer_schedule.h"

#include <gtest/gtest.h>

namespace tolm::sim {
namespace {

using Clock = AnswerSchedule::Clock;
using std::chrono::milliseconds;

// Module order and delay (ms) of every answer of one scan.
std::vector<std::pair<std::size_t, long>> Plan(std::uint32_t seed, unsigned delay_max_ms,
                                               std::size_t modules) {
    AnswerSchedule schedule(seed, delay_max_ms);
    const Clock::time_point start{};
    schedule.AddScan(start, modules);
    std::vector<std::pair<std::size_t, long>> plan;
    for (long ms = 0; ms <= static_cast<long>(delay_max_ms); ++ms)
        for (std::size_t module : schedule.TakeDue(start + milliseconds(ms)))
            plan.emplace_back(module, ms);
    EXPECT_FALSE(schedule.NextDue());
    return plan;
}

TEST(AnswerSchedule, WithoutDelayEveryModuleAnswersAtOnceInOrder) {
    AnswerSchedule schedule(1, 0);
    const Clock::time_point now = Clock::now();
    schedule.AddScan(now, 4);
    EXPECT_EQ(schedule.NextDue(), now);
    EXPECT_EQ(schedule.TakeDue(now), (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(AnswerSchedule, DelaysStayInRangeAndRepeatForTheSameSeed) {
    const auto plan = Plan(7, 20, 50);
    ASSERT_EQ(plan.size(), 50u);
    std::vector<bool> answered(50, false);
    long latest = 0;
    for (const auto& [module, ms] : plan) {
        EXPECT_FALSE(answered[module]);
        answered[module] = true;
        EXPECT_GE(ms, latest);
        latest = ms;
    }
    EXPECT_GT(latest, 0);  // 50 draws from 0..20 are not all 0
    EXPECT_EQ(plan, Plan(7, 20, 50));
    EXPECT_NE(plan, Plan(8, 20, 50));
}

TEST(AnswerSchedule, AnswersOfSeveralScansInterleaveByTime) {
    AnswerSchedule schedule(3, 10);
    const Clock::time_point start{};
    schedule.AddScan(start, 2);
    schedule.AddScan(start + milliseconds(100), 2);
    EXPECT_EQ(schedule.TakeDue(start + milliseconds(10)).size(), 2u);
    EXPECT_GE(*schedule.NextDue(), start + milliseconds(100));
    EXPECT_TRUE(schedule.TakeDue(start + milliseconds(99)).empty());
    EXPECT_EQ(schedule.TakeDue(start + milliseconds(110)).size(), 2u);
}

TEST(AnswerSchedule, AModuleWithAnAnswerDelayAnswersThatMuchLaterEveryScan) {
    AnswerSchedule schedule(1, 0, {0, 700});
    const Clock::time_point start{};
    for (const auto scan : {start, start + milliseconds(1000)}) {
        schedule.AddScan(scan, 3);
        EXPECT_EQ(schedule.TakeDue(scan), (std::vector<std::size_t>{0, 2}));
        EXPECT_EQ(schedule.NextDue(), scan + milliseconds(700));
        EXPECT_TRUE(schedule.TakeDue(scan + milliseconds(699)).empty());
        EXPECT_EQ(schedule.TakeDue(scan + milliseconds(700)), (std::vector<std::size_t>{1}));
    }
}

TEST(AnswerSchedule, APacedFleetAnswersOneAfterAnotherOnTopOfEachDelay) {
    AnswerSchedule schedule(1, 0, {0, 0, 5}, std::chrono::microseconds(250));
    const Clock::time_point start{};
    schedule.AddScan(start, 4000);
    EXPECT_EQ(schedule.TakeDue(start + std::chrono::microseconds(499)),
              (std::vector<std::size_t>{0, 1}));
    std::size_t answered = 2;
    for (long ms = 1; ms <= 1000; ++ms)
        answered += schedule.TakeDue(start + milliseconds(ms)).size();
    // Module 2 waits 5 ms more; the last of 4000 is due at 999.75 ms.
    EXPECT_EQ(answered, 4000u);
    EXPECT_FALSE(schedule.NextDue());
}

}  // namespace
}  // namespace tolm::sim
