// Nearest-rank percentiles: the value below or at which p percent of the
// samples lie, always one of the samples themselves.
#pragma once

#include <cstdint>
#include <vector>

namespace tolm::bench {

// `sorted` ascending and not empty; 0 < percent <= 100.
std::int64_t Percentile(const std::vector<std::int64_t>& sorted, double percent);

}  // namespace tolm::bench
