// One scan, answered back-to-back by every simulated module. The count is
// final once nothing has arrived for the settle time; then every queued
// record is taken.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "figure.h"
#include "modes.h"

namespace tolm::bench {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long> g_notified{0};
std::atomic<Clock::rep> g_last_arrival{0};

void TOLM_CALLBACK OnNotify(int32_t code) {
    if (code != TOLM_NOTIFY_RESPONSE) return;
    g_notified.fetch_add(1);
    g_last_arrival.store(Clock::now().time_since_epoch().count());
}

}  // namespace

int MeasureBurst(const HostOptions& options, const client::TolmExports& exports) {
    exports.register_callback(OnNotify);
    exports.start();
    const Clock::time_point scanned = Clock::now();
    g_last_arrival.store(scanned.time_since_epoch().count());
    if (exports.send_module_scan() != 1) {
        std::fprintf(stderr, "tolm-bench-host: the scan could not be sent\n");
        exports.stop();
        return 1;
    }
    const auto settle = std::chrono::milliseconds(options.settle_ms);
    const auto deadline = scanned + std::chrono::seconds(options.timeout_s);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const Clock::time_point last{Clock::duration(g_last_arrival.load())};
        if (Clock::now() - last > settle || Clock::now() > deadline) break;
    }
    // Taken before the stop, which frees whatever is still queued.
    long taken = 0;
    TOLM_ModuleScanResponseType record;
    while (exports.get_response(&record) == 1) ++taken;
    exports.stop();
    exports.register_callback(nullptr);

    const Clock::time_point last{Clock::duration(g_last_arrival.load())};
    const std::string prefix = "burst_" + std::to_string(options.modules);
    PrintCount((prefix + "_notified").c_str(), g_notified.load(), "records");
    PrintCount((prefix + "_taken").c_str(), taken, "records");
    PrintFigure((prefix + "_last_answer").c_str(),
                std::chrono::duration<double, std::milli>(last - scanned).count(), "ms");
    return 0;
}

}  // namespace tolm::bench
