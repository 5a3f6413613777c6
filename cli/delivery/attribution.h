// Whose datagram it is: anyone on the segment can answer as any MAC or send
// "Reconfigured:", so only what comes from the module's own sender (or from
// the address just given to it) speaks for the module.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "cli/session/module_list.h"
#include "cli/session/tolm_session.h"

namespace tolm::linkora {

// The sender the module answered from, and the address a request gives it.
struct ModuleSender {
    Answer module;
    std::optional<std::uint32_t> new_ip;
};

// A reply speaks for the module when it comes from its sender and, where its
// text names a MAC, names the module's.
bool IsFromModule(const ReplyFrom& reply, const ModuleSender& module);

// The module's answer among the distinct answers for its MAC: one from its
// sender; else the only sender's, whose address may have changed (DHCP).
std::optional<Answer> AnswerOfModule(const std::vector<Answer>& answers,
                                     const ModuleSender& module);

}  // namespace tolm::linkora
