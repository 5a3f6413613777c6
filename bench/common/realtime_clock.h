// Wall-clock nanoseconds since the Unix epoch. The module side stamps its
// answers with it and the host subtracts, so both sides must read the same
// clock: CLOCK_REALTIME natively, and under Wine the precise system time,
// which Wine takes from that same clock.
#pragma once

#include <cstdint>

namespace tolm::bench {

std::int64_t RealtimeNanoseconds();

}  // namespace tolm::bench
