// The callback takes each record itself (the engine's mutex nests) and
// subtracts the stamp the module side wrote into the host name just before
// sending: the whole road from the module's socket to the host's hands.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "figure.h"
#include "modes.h"
#include "percentile.h"
#include "realtime_clock.h"
#include "stamp.h"

namespace tolm::bench {

namespace {

struct LatencyRun {
    TOLM_GetResponseFn get_response = nullptr;
    std::vector<std::int64_t> delays_ns;  // sized up front: no allocation in the callback
    std::atomic<std::size_t> received{0};
    std::atomic<std::size_t> unstamped{0};
};

// The callback has no context argument; one run per process.
LatencyRun* g_run = nullptr;

void TOLM_CALLBACK OnNotify(int32_t code) {
    if (code != TOLM_NOTIFY_RESPONSE) return;
    TOLM_ModuleScanResponseType record;
    if (g_run->get_response(&record) != 1) return;
    const std::int64_t now = RealtimeNanoseconds();
    const auto stamp = StampOf(record);
    if (!stamp) {
        g_run->unstamped.fetch_add(1);
        return;
    }
    const std::size_t index = g_run->received.load();
    if (index >= g_run->delays_ns.size()) return;
    g_run->delays_ns[index] = now - *stamp;
    g_run->received.store(index + 1);
}

bool CreateReadyFile(const std::string& path) {
    if (path.empty()) return true;
    std::ofstream file(path);
    file << "ready\n";
    return static_cast<bool>(file);
}

double Microseconds(std::int64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1000.0;
}

}  // namespace

int MeasureLatency(const HostOptions& options, const client::TolmExports& exports) {
    LatencyRun run;
    run.get_response = exports.get_response;
    const std::size_t wanted = static_cast<std::size_t>(options.warmup + options.answers);
    run.delays_ns.resize(wanted);
    g_run = &run;
    exports.register_callback(OnNotify);
    exports.start();
    if (!CreateReadyFile(options.ready_file)) {
        std::fprintf(stderr, "tolm-bench-host: cannot create %s\n", options.ready_file.c_str());
        exports.stop();
        return 1;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_s);
    while (run.received.load() < wanted && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    exports.stop();
    exports.register_callback(nullptr);

    const std::size_t received = run.received.load();
    if (run.unstamped.load() != 0)
        std::fprintf(stderr, "tolm-bench-host: %zu answers without a stamp\n",
                     run.unstamped.load());
    if (received < wanted) {
        std::fprintf(stderr, "tolm-bench-host: %zu of %zu answers arrived within %d s\n", received,
                     wanted, options.timeout_s);
        return 1;
    }
    std::vector<std::int64_t> measured(run.delays_ns.begin() + options.warmup, run.delays_ns.end());
    std::sort(measured.begin(), measured.end());
    PrintCount("latency_answers", static_cast<long long>(measured.size()), "answers");
    PrintFigure("latency_p50", Microseconds(Percentile(measured, 50)), "us");
    PrintFigure("latency_p90", Microseconds(Percentile(measured, 90)), "us");
    PrintFigure("latency_p99", Microseconds(Percentile(measured, 99)), "us");
    PrintFigure("latency_max", Microseconds(measured.back()), "us");
    return 0;
}

}  // namespace tolm::bench
