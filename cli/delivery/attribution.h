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
    bool any_sender = false;  // DHCP switched on: the server gives it an address unknown here
};

// A reply speaks for the module when it comes from its sender, or from the
// address just given to it and names the module's MAC (another device may
// hold that address); a reply that names a MAC must name the module's.
bool IsFromModule(const ReplyFrom& reply, const ModuleSender& module);

// What one verification scan's answers for the module's MAC say.
struct Verdict {
    std::optional<Answer> answer;  // the module's own, when it can be told
    std::string problem;           // else why not, naming the senders
    bool final = false;            // no later scan can mend it: two senders answer
};

// The module's answer is the one from its earlier sender or, where the IP was
// changed, from its new address (with DHCP switched on, from any one sender).
// Two senders, or one that is neither, is no answer of the module's.
Verdict JudgeAnswers(const std::vector<Answer>& answers, const ModuleSender& module);

}  // namespace tolm::linkora
