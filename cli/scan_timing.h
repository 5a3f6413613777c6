// When a scan ends: a quiet period after the last new answer, but not
// before the minimum wait; at the maximum wait; or once enough modules.
#pragma once

#include <chrono>
#include <cstddef>

namespace tolm::linkora {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

struct ScanLimits {
    Milliseconds quiet{300};
    Milliseconds min_wait{300};
    Milliseconds max_wait{3000};
    std::size_t expect = 0;  // 0: no number expected
};

class ScanTiming {
  public:
    ScanTiming(const ScanLimits& limits, Clock::time_point start);

    // A module (or answer without MAC) not seen before arrived at now.
    void NewAnswer(Clock::time_point now);
    // When the scan ends if nothing new comes.
    Clock::time_point Deadline() const;
    bool Ended(Clock::time_point now, std::size_t modules_found) const;

  private:
    ScanLimits limits_;
    Clock::time_point start_;
    Clock::time_point last_new_;
};

}  // namespace tolm::linkora
