#include "collect.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "terminal.h"

namespace tolm::linkora {
namespace {

constexpr Milliseconds kProgressInterval{100};

// Where escape sequences cannot be used, blanks wipe out the longer text
// that stood before.
class ProgressLine {
  public:
    ProgressLine() : shown_(IsTerminal(stderr)), escapes_(shown_ && EnableEscapes(stderr)) {}
    ~ProgressLine() {
        if (!shown_) return;
        std::fputs(escapes_ ? "\r\033[K" : ("\r" + std::string(width_, ' ') + "\r").c_str(),
                   stderr);
        std::fflush(stderr);
    }

    void Show(std::size_t modules, double seconds) {
        if (!shown_) return;
        char text[96];
        const int length = std::snprintf(text, sizeof text, "Scanning: %zu module%s found, %.1f s",
                                         modules, modules == 1 ? "" : "s", seconds);
        const std::size_t now = length > 0 ? static_cast<std::size_t>(length) : 0;
        std::fprintf(
            stderr, "\r%s%s", text,
            escapes_ ? "\033[K" : std::string(width_ > now ? width_ - now : 0, ' ').c_str());
        width_ = std::max(width_, now);
        std::fflush(stderr);
    }

  private:
    bool shown_;
    bool escapes_;
    std::size_t width_ = 0;
};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Clock reads and Ctrl-C checks are spaced out in a long drain.
constexpr int kTakesPerCheck = 256;

}  // namespace

bool TakeQueued(TolmSession& session, Clock::time_point until,
                const std::function<void(const Answer&)>& use) {
    for (int taken = 1;; ++taken) {
        const std::optional<Answer> answer = session.TakeAnswer();
        if (!answer) return true;
        use(*answer);
        if (taken % kTakesPerCheck == 0 && (Interrupted() || Clock::now() >= until)) return false;
    }
}

double Scan(TolmSession& session, const ScanLimits& limits, ModuleList& list,
            const StopWhen& stop_when) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point last_moment = start + limits.max_wait;
    ScanTiming timing(limits, start);
    ProgressLine progress;
    session.SendScan();
    for (;;) {
        const bool drained = TakeQueued(session, last_moment, [&](const Answer& answer) {
            if (list.Add(answer)) timing.NewAnswer(Clock::now());
        });
        const Clock::time_point now = Clock::now();
        if (Interrupted() || now >= last_moment) break;
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
        progress.Show(list.ModuleCount(), SecondsSince(start));
        if (drained) session.WaitUntil(std::min(timing.Deadline(), now + kProgressInterval));
    }
    return SecondsSince(start);
}

}  // namespace tolm::linkora
