// This PC's own IPv4 addresses, which no module may be given: the rule of
// client/request_rule.h refuses them.
#pragma once

#include <cstdint>
#include <vector>

#include "tolm_ext.h"

namespace tolm::client {

// The addresses of every adapter the library lists through its extension,
// however many there are; none when the library has no adapter list
// (get_adapters null) or cannot list them.
std::vector<std::uint32_t> OwnAddresses(TOLM_GetAdaptersFn get_adapters);

}  // namespace tolm::client
