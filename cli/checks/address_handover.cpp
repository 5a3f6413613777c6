#include "cli/checks/address_handover.h"

#include <algorithm>

namespace tolm::linkora {

HandOvers OrderHandOvers(const std::vector<AddressMove>& moves) {
    HandOvers order;
    order.waits_for.resize(moves.size());
    for (std::size_t taker = 0; taker < moves.size(); ++taker) {
        const AddressMove& t = moves[taker];
        if (!t.next || t.next == t.now) continue;
        for (std::size_t holder = 0; holder < moves.size(); ++holder)
            if (holder != taker && moves[holder].now == t.next && moves[holder].leaves)
                order.waits_for[taker] = holder;
    }
    // Every move waits for one at most, so a ring is found by following the waits.
    std::vector<bool> seen(moves.size(), false);
    for (std::size_t start = 0; start < moves.size(); ++start) {
        std::vector<std::size_t> path;
        std::optional<std::size_t> at = start;
        while (at && !seen[*at] && std::find(path.begin(), path.end(), *at) == path.end()) {
            path.push_back(*at);
            at = order.waits_for[*at];
        }
        if (at) {
            const auto ring = std::find(path.begin(), path.end(), *at);
            if (ring != path.end()) order.cycles.emplace_back(ring, path.end());
        }
        for (const std::size_t move : path) seen[move] = true;
    }
    return order;
}

}  // namespace tolm::linkora
