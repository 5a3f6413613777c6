// When a scan sends its next round and when it ends. A module's answer can
// be lost on the way (plant networks drop datagrams), so the scan is sent
// again each time a round has gone quiet, until a round adds nobody; the
// scan then ends, but never before the minimum wait (slow modules), always
// at the maximum, and at once when the expected number of modules answered.
#pragma once

#include <chrono>
#include <cstddef>

namespace tolm::linkora {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

struct ScanLimits {
    Milliseconds quiet{300};      // a round is over when no new module answered for this long
    Milliseconds min_wait{1500};  // never end before this: some modules answer after a second
    Milliseconds max_wait{5000};  // always end by this
    int rounds = 5;               // scans sent at most
    std::size_t expect = 0;       // 0: no number expected
};

class ScanTiming {
  public:
    // The first round is sent at start.
    ScanTiming(const ScanLimits& limits, Clock::time_point start);

    enum class Step { kWait, kSendRound, kEnd };

    // A module not seen before arrived at now.
    void NewAnswer(Clock::time_point now);
    // What to do, asked once everything that has arrived is taken.
    Step Next(Clock::time_point now, std::size_t modules_found);
    // The next round went out at now.
    void RoundSent(Clock::time_point now);
    // When Next changes its mind if nothing new comes.
    Clock::time_point Deadline() const;
    int RoundsSent() const { return rounds_sent_; }

  private:
    ScanLimits limits_;
    Clock::time_point start_;
    Clock::time_point last_new_;  // the last new answer, or the round's start
    int rounds_sent_ = 1;
    std::size_t added_this_round_ = 0;
    bool settled_ = false;  // no further round will be sent
};

}  // namespace tolm::linkora
