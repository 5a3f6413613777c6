#include <windows.h>

#include "realtime_clock.h"

namespace tolm::bench {

namespace {

// FILETIME counts 100 ns ticks since 1601-01-01.
constexpr std::int64_t kUnixEpochInFileTimeTicks = 116'444'736'000'000'000;

}  // namespace

std::int64_t RealtimeNanoseconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const std::int64_t ticks =
        (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kUnixEpochInFileTimeTicks) * 100;
}

}  // namespace tolm::bench
