// Wake-ups are counted from outside, as the process's context switches
// (bench/lab/measure reads /proc/<pid>/task/*/status): from inside Wine,
// /proc/self is opened by the wineserver and shows the server instead. The
// host only marks its phases on stdout, "begin NAME" and "end NAME", each
// named after the figure it gives: the loaded but idle library as the
// baseline, the started engine, and the 1 ms periodic waker of the classic
// design for comparison.
#include <chrono>
#include <cstdio>
#include <thread>

#include "modes.h"
#include "periodic_waker.h"

namespace tolm::bench {

namespace {

// Lets a thread just started run its start-up before a phase begins.
constexpr auto kSettle = std::chrono::milliseconds(300);

// False when the driver went away.
bool Mark(const char* what, const char* name) {
    std::printf("%s %s\n", what, name);
    std::fflush(stdout);
    char reply[16];
    return std::fgets(reply, sizeof reply, stdin) != nullptr;
}

bool Phase(const char* name, double seconds) {
    std::this_thread::sleep_for(kSettle);
    if (!Mark("begin", name)) return false;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return Mark("end", name);
}

}  // namespace

int MeasureIdle(const HostOptions& options, const client::TolmExports& exports) {
    if (!Phase("idle_switches_baseline", options.seconds)) return 1;
    exports.start();
    const bool engine_measured = Phase("idle_wakeups", options.seconds);
    exports.stop();
    if (!engine_measured) return 1;
    PeriodicWaker waker;
    if (!waker.Start()) {
        std::fprintf(stderr, "tolm-bench-host: the periodic timer could not be started\n");
        return 1;
    }
    const bool reference_measured = Phase(PeriodicWaker::FigureName(), options.seconds);
    waker.Stop();
    return reference_measured ? 0 : 1;
}

}  // namespace tolm::bench
