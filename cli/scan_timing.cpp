#include "scan_timing.h"

#include <algorithm>

namespace tolm::linkora {

// Before any answer the quiet period counts from the scan itself.
ScanTiming::ScanTiming(const ScanLimits& limits, Clock::time_point start)
    : limits_(limits), start_(start), last_new_(start) {}

void ScanTiming::NewAnswer(Clock::time_point now) {
    last_new_ = std::max(last_new_, now);
}

Clock::time_point ScanTiming::Deadline() const {
    const Clock::time_point quiet_end =
        std::max(start_ + limits_.min_wait, last_new_ + limits_.quiet);
    return std::min(start_ + limits_.max_wait, quiet_end);
}

bool ScanTiming::Ended(Clock::time_point now, std::size_t modules_found) const {
    if (limits_.expect > 0 && modules_found >= limits_.expect) return true;
    return now >= Deadline();
}

}  // namespace tolm::linkora
