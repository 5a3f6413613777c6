// Every benchmark reports one "name value unit" line per figure, flushed at
// once: under Wine stdout is fully buffered and the driver reads line by line.
#pragma once

#include <cstdio>

namespace tolm::bench {

inline void PrintFigure(const char* name, double value, const char* unit) {
    std::printf("%s %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

inline void PrintCount(const char* name, long long count, const char* unit) {
    std::printf("%s %lld %s\n", name, count, unit);
    std::fflush(stdout);
}

}  // namespace tolm::bench
