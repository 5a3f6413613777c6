#include "cli/checks/address_handover.h"

#include <algorithm>
#include <map>

namespace tolm::linkora {

HandOvers OrderHandOvers(const std::vector<AddressMove>& moves) {
    HandOvers order;
    order.waits_for.resize(moves.size());
    // The last mover that leaves each address, found by address: a plan may hold many thousand.
    std::map<std::uint32_t, std::vector<std::size_t>> leaving;
    for (std::size_t holder = 0; holder < moves.size(); ++holder)
        if (moves[holder].now && moves[holder].leaves)
            leaving[*moves[holder].now].push_back(holder);
    for (std::size_t taker = 0; taker < moves.size(); ++taker) {
        const AddressMove& t = moves[taker];
        if (!t.next || t.next == t.now) continue;
        const auto holders = leaving.find(*t.next);
        if (holders == leaving.end()) continue;
        for (auto holder = holders->second.rbegin(); holder != holders->second.rend(); ++holder)
            if (*holder != taker) {
                order.waits_for[taker] = *holder;
                break;
            }
    }
    // Every move waits for one at most, so a ring is found by following the waits.
    enum class Mark { kUnseen, kOnPath, kDone };
    std::vector<Mark> mark(moves.size(), Mark::kUnseen);
    for (std::size_t start = 0; start < moves.size(); ++start) {
        std::vector<std::size_t> path;
        std::optional<std::size_t> at = start;
        while (at && mark[*at] == Mark::kUnseen) {
            mark[*at] = Mark::kOnPath;
            path.push_back(*at);
            at = order.waits_for[*at];
        }
        if (at && mark[*at] == Mark::kOnPath)
            order.cycles.emplace_back(std::find(path.begin(), path.end(), *at), path.end());
        for (const std::size_t move : path) mark[move] = Mark::kDone;
    }
    return order;
}

}  // namespace tolm::linkora
