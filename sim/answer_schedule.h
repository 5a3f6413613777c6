// When each module answers a scan: after a random 0..max ms of its own, the
// way real modules spread their answers, plus the module's fixed answer
// delay, plus its place in a paced fleet. Deterministic for a given seed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <queue>
#include <random>
#include <vector>

namespace tolm::sim {

class AnswerSchedule {
  public:
    using Clock = std::chrono::steady_clock;

    // answer_delays_ms[n]: added to every answer of module n (none past its end);
    // spacing: module n answers n times this after the scan, so that a fleet
    // answers at a steady rate.
    AnswerSchedule(std::uint32_t seed, unsigned delay_max_ms,
                   std::vector<unsigned> answer_delays_ms = {},
                   std::chrono::nanoseconds spacing = {});

    // Plans one answer per module for a scan received at now.
    void AddScan(Clock::time_point now, std::size_t module_count);

    std::optional<Clock::time_point> NextDue() const;

    // The modules whose answers are due by now, earliest first; answers due
    // at the same time keep the order in which they were planned.
    std::vector<std::size_t> TakeDue(Clock::time_point now);

  private:
    struct Answer {
        Clock::time_point due;
        std::uint64_t order;
        std::size_t module;
        bool operator>(const Answer& other) const {
            return due != other.due ? due > other.due : order > other.order;
        }
    };

    std::mt19937 random_;
    unsigned delay_max_ms_;
    std::vector<unsigned> answer_delays_ms_;
    std::chrono::nanoseconds spacing_;
    std::uint64_t planned_ = 0;
    std::priority_queue<Answer, std::vector<Answer>, std::greater<Answer>> answers_;
};

}  // namespace tolm::sim
