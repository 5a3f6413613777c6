#include <time.h>

#include "realtime_clock.h"

namespace tolm::bench {

std::int64_t RealtimeNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace tolm::bench
