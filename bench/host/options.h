// The bench host's command line:
//   tolm-bench-host MODE --library PATH [options]
// MODE is latency, burst or idle.
#pragma once

#include <optional>
#include <string>

namespace tolm::bench {

enum class Mode { kLatency, kBurst, kIdle };

struct HostOptions {
    Mode mode = Mode::kLatency;
    std::string library;
    // latency: answers to measure after the first `warmup` are dropped.
    int answers = 1000;
    int warmup = 50;
    // Created once the engine runs, so the driver knows when to send.
    std::string ready_file;
    // burst: the module count, only to name the figures.
    int modules = 0;
    // burst: how long nothing must arrive before the count is final.
    int settle_ms = 1000;
    // idle: length of each measured phase.
    double seconds = 3.0;
    // latency and burst: the longest the run may take.
    int timeout_s = 60;
};

// The options, or nothing with the reason in *error.
std::optional<HostOptions> ParseHostOptions(int argc, const char* const* argv, std::string* error);

extern const char* const kHostUsage;

}  // namespace tolm::bench
