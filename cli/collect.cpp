#include "collect.h"

#include <algorithm>
#include <cstdio>

#include "terminal.h"

namespace tolm::linkora {
namespace {

constexpr Milliseconds kProgressInterval{100};

class ProgressLine {
  public:
    ProgressLine() : shown_(IsTerminal(stderr)) {}
    ~ProgressLine() {
        if (!shown_) return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }

    void Show(std::size_t modules, double seconds) {
        if (!shown_) return;
        std::fprintf(stderr, "\rScanning: %zu module%s found, %.1f s\033[K", modules,
                     modules == 1 ? "" : "s", seconds);
        std::fflush(stderr);
    }

  private:
    bool shown_;
};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

double Scan(TolmSession& session, const ScanLimits& limits, ModuleList& list,
            const StopWhen& stop_when) {
    const Clock::time_point start = Clock::now();
    ScanTiming timing(limits, start);
    ProgressLine progress;
    session.SendScan();
    for (;;) {
        while (const std::optional<Answer> answer = session.TakeAnswer())
            if (list.Add(*answer)) timing.NewAnswer(Clock::now());
        const Clock::time_point now = Clock::now();
        if (timing.Ended(now, list.ModuleCount()) || (stop_when && stop_when(list))) break;
        progress.Show(list.ModuleCount(), SecondsSince(start));
        session.WaitUntil(std::min(timing.Deadline(), now + kProgressInterval));
    }
    return SecondsSince(start);
}

}  // namespace tolm::linkora
