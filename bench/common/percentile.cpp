#include "percentile.h"

#include <cmath>

namespace tolm::bench {

std::int64_t Percentile(const std::vector<std::int64_t>& sorted, double percent) {
    const double rank = std::ceil(percent * static_cast<double>(sorted.size()) / 100.0);
    std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
    if (index >= sorted.size()) index = sorted.size() - 1;
    return sorted[index];
}

}  // namespace tolm::bench
