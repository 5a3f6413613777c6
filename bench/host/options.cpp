#include "options.h"

#include <cstdlib>
#include <cstring>

namespace tolm::bench {

const char* const kHostUsage =
    "usage: tolm-bench-host latency|burst|idle --library PATH [options]\n"
    "  latency: --answers N (1000) --warmup N (50) --ready-file FILE --timeout-s S (60)\n"
    "  burst:   --modules N (names the figures) --settle-ms MS (1000) --timeout-s S (60)\n"
    "  idle:    --seconds S (3) per measured phase\n";

namespace {

bool ParseMode(const char* text, Mode* mode) {
    if (std::strcmp(text, "latency") == 0)
        *mode = Mode::kLatency;
    else if (std::strcmp(text, "burst") == 0)
        *mode = Mode::kBurst;
    else if (std::strcmp(text, "idle") == 0)
        *mode = Mode::kIdle;
    else
        return false;
    return true;
}

bool ParseCount(const char* text, int minimum, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < minimum || parsed > 10'000'000) return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool ParseSeconds(const char* text, double* value) {
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(parsed > 0.0 && parsed <= 3600.0)) return false;
    *value = parsed;
    return true;
}

}  // namespace

std::optional<HostOptions> ParseHostOptions(int argc, const char* const* argv, std::string* error) {
    HostOptions options;
    if (argc < 2 || !ParseMode(argv[1], &options.mode)) {
        *error = "the first argument is the mode: latency, burst or idle";
        return std::nullopt;
    }
    for (int i = 2; i < argc; i += 2) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            *error = "option " + name + " needs a value";
            return std::nullopt;
        }
        const char* value = argv[i + 1];
        bool good = true;
        if (name == "--library")
            options.library = value;
        else if (name == "--ready-file")
            options.ready_file = value;
        else if (name == "--answers")
            good = ParseCount(value, 1, &options.answers);
        else if (name == "--warmup")
            good = ParseCount(value, 0, &options.warmup);
        else if (name == "--modules")
            good = ParseCount(value, 0, &options.modules);
        else if (name == "--settle-ms")
            good = ParseCount(value, 1, &options.settle_ms);
        else if (name == "--timeout-s")
            good = ParseCount(value, 1, &options.timeout_s);
        else if (name == "--seconds")
            good = ParseSeconds(value, &options.seconds);
        else {
            *error = "unknown option " + name;
            return std::nullopt;
        }
        if (!good) {
            *error = "bad value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    if (options.library.empty()) {
        *error = "--library PATH is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace tolm::bench
