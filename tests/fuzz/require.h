// A property the fuzz target checks: when it fails, the run stops with the
// property's name and libFuzzer keeps the input.
#pragma once

#include <cstdio>

namespace tolm::fuzz {

inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property failed: %s\n", property);
    __builtin_trap();
}

}  // namespace tolm::fuzz
