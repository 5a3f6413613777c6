// The module a configure request went to, as its replies are told from
// others: anyone on the segment can send "Reconfigured:" or "Invalid
// Password:", so where the library tells a reply's sender, only one from the
// sender the module answered from, or from the address just given to it,
// speaks for the module.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "tolm.h"
#include "tolm_ext.h"

struct ConfiguredModule {
    std::array<std::uint8_t, TOLM_MAC_SIZE> mac{};
    // The address the module's answers came from; none when the library
    // does not tell, and then the MAC alone names the module.
    std::optional<std::uint32_t> sender;
    // The address the request gives the module; none when it keeps its own.
    std::optional<std::uint32_t> new_ip;
};

// The module of `request`, answering from `sender`.
ConfiguredModule ConfiguredModuleOf(const TOLM_ConfigureRequestType& request,
                                    std::optional<std::uint32_t> sender);

// Whether a reply speaks for the module: it names the module's MAC, or no
// MAC at all, and comes from the module's sender or its new address (from
// anyone while the sender is not known).
bool IsReplyOfModule(const TOLM_ReplyType& reply, const ConfiguredModule& module);
