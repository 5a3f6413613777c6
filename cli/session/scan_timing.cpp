#include "cli/session/scan_timing.h"

#include <algorithm>

namespace tolm::linkora {

ScanTiming::ScanTiming(const ScanLimits& limits, Clock::time_point start)
    : limits_(limits), start_(start), last_new_(start) {}

void ScanTiming::NewAnswer(Clock::time_point now) {
    last_new_ = std::max(last_new_, now);
    ++added_this_round_;
}

ScanTiming::Step ScanTiming::Next(Clock::time_point now, std::size_t modules_found) {
    if (limits_.expect > 0 && modules_found >= limits_.expect) return Step::kEnd;
    if (now >= start_ + limits_.max_wait) return Step::kEnd;
    if (now < last_new_ + limits_.quiet) return Step::kWait;
    if (!settled_) {
        // A second round is always sent: only a round that adds nobody says none was lost.
        const bool added_nobody = rounds_sent_ >= 2 && added_this_round_ == 0;
        if (!added_nobody && rounds_sent_ < limits_.rounds) return Step::kSendRound;
        settled_ = true;
    }
    return now >= start_ + limits_.min_wait ? Step::kEnd : Step::kWait;
}

void ScanTiming::RoundSent(Clock::time_point now) {
    ++rounds_sent_;
    added_this_round_ = 0;
    last_new_ = std::max(last_new_, now);
}

Clock::time_point ScanTiming::Deadline() const {
    Clock::time_point next = last_new_ + limits_.quiet;
    if (settled_) next = std::max(next, start_ + limits_.min_wait);
    return std::min(next, start_ + limits_.max_wait);
}

}  // namespace tolm::linkora
