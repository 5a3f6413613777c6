#include "answer_schedule.h"

namespace tolm::sim {

AnswerSchedule::AnswerSchedule(std::uint32_t seed, unsigned delay_max_ms,
                               std::vector<unsigned> answer_delays_ms,
                               std::chrono::nanoseconds spacing)
    : random_(seed),
      delay_max_ms_(delay_max_ms),
      answer_delays_ms_(std::move(answer_delays_ms)),
      spacing_(spacing) {}

void AnswerSchedule::AddScan(Clock::time_point now, std::size_t module_count) {
    for (std::size_t module = 0; module < module_count; ++module) {
        // mt19937's sequence is fixed by the standard, unlike the distributions.
        auto delay_ms = delay_max_ms_ == 0 ? 0u : random_() % (delay_max_ms_ + 1u);
        if (module < answer_delays_ms_.size()) delay_ms += answer_delays_ms_[module];
        const auto due = now + std::chrono::milliseconds(delay_ms) +
                         spacing_ * static_cast<std::int64_t>(module);
        answers_.push({std::chrono::time_point_cast<Clock::duration>(due), planned_++, module});
    }
}

std::optional<AnswerSchedule::Clock::time_point> AnswerSchedule::NextDue() const {
    if (answers_.empty()) return std::nullopt;
    return answers_.top().due;
}

std::vector<std::size_t> AnswerSchedule::TakeDue(Clock::time_point now) {
    std::vector<std::size_t> due;
    while (!answers_.empty() && answers_.top().due <= now) {
        due.push_back(answers_.top().module);
        answers_.pop();
    }
    return due;
}

}  // namespace tolm::sim
