#include "cli/delivery/attribution.h"

#include <algorithm>
#include <cstring>

namespace tolm::linkora {
namespace {

bool FromSender(std::uint32_t sender, const ModuleSender& module) {
    return sender == module.module.sender || (module.new_ip && sender == *module.new_ip);
}

}  // namespace

bool IsFromModule(const ReplyFrom& reply, const ModuleSender& module) {
    if (reply.mac &&
        std::memcmp(reply.mac->data(), module.module.record.abMacId, TOLM_MAC_SIZE) != 0)
        return false;
    return FromSender(reply.sender, module);
}

std::optional<Answer> AnswerOfModule(const std::vector<Answer>& answers,
                                     const ModuleSender& module) {
    for (const Answer& answer : answers)
        if (FromSender(answer.sender, module)) return answer;
    const bool one_sender =
        !answers.empty() && std::all_of(answers.begin(), answers.end(), [&](const Answer& a) {
            return a.sender == answers.front().sender;
        });
    if (one_sender) return answers.back();
    return std::nullopt;
}

}  // namespace tolm::linkora
