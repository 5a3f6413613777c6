#include "cli/session/scan.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/output/progress_line.h"
#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

constexpr Milliseconds kProgressInterval{100};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Clock reads and Ctrl-C checks are spaced out in a long drain.
constexpr int kTakesPerCheck = 256;

}  // namespace

bool TakeQueued(TolmSession& session, Clock::time_point until,
                const std::function<void(const Answer&)>& use, int interrupts_to_stop) {
    for (int taken = 1;; ++taken) {
        const std::optional<Answer> answer = session.TakeAnswer();
        if (!answer) return true;
        use(*answer);
        if (taken % kTakesPerCheck == 0 &&
            (Interrupts() >= interrupts_to_stop || Clock::now() >= until))
            return false;
    }
}

double Scan(TolmSession& session, const ScanLimits& limits, ModuleList& list,
            const StopWhen& stop_when, int interrupts_to_stop) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point last_moment = start + limits.max_wait;
    ScanTiming timing(limits, start);
    ProgressLine progress;
    session.SendScan();
    for (;;) {
        const bool drained = TakeQueued(
            session, last_moment,
            [&](const Answer& answer) {
                if (list.Add(answer)) timing.NewAnswer(Clock::now());
            },
            interrupts_to_stop);
        const Clock::time_point now = Clock::now();
        if (Interrupts() >= interrupts_to_stop || now >= last_moment) break;
        if (stop_when && stop_when(list)) break;
        // Gone quiet is decided only once everything that has arrived is taken:
        // a flood of other datagrams can hold answers back in the queue.
        if (drained) {
            const ScanTiming::Step step = timing.Next(now, list.ModuleCount());
            if (step == ScanTiming::Step::kEnd) break;
            if (step == ScanTiming::Step::kSendRound) {
                session.SendScan();
                timing.RoundSent(Clock::now());
            }
        }
        char line[80];
        std::snprintf(line, sizeof line, "Scanning: %zu module%s found, %.1f s", list.ModuleCount(),
                      list.ModuleCount() == 1 ? "" : "s", SecondsSince(start));
        progress.Show(line);
        if (drained) session.WaitUntil(std::min(timing.Deadline(), now + kProgressInterval));
    }
    return SecondsSince(start);
}

}  // namespace tolm::linkora
