// Address hand-overs within a plan. A module planned to take an address that
// another planned module holds now may go only once that module's move is
// confirmed: at no moment may two modules hold one address. Modules that
// exchange addresses (a swap, or a longer ring) can never go in any order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tolm::linkora {

struct AddressMove {
    std::optional<std::uint32_t> now;   // the address it holds; none when not known
    std::optional<std::uint32_t> next;  // the one planned for it; none when it keeps its own
    bool leaves = false;                // it gives up `now`: a new address, or DHCP switched on
};

struct HandOvers {
    // Per move, the move whose confirmation it waits for, if any.
    std::vector<std::optional<std::size_t>> waits_for;
    // Each ring of moves that wait for each other, in the order they wait.
    std::vector<std::vector<std::size_t>> cycles;
};

HandOvers OrderHandOvers(const std::vector<AddressMove>& moves);

}  // namespace tolm::linkora
