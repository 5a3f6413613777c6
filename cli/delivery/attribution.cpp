#include "cli/delivery/attribution.h"

#include <algorithm>
#include <cstring>

#include "cli/output/scan_report.h"
#include "record_text.h"

namespace tolm::linkora {
namespace client = tolm::client;

bool IsFromModule(const ReplyFrom& reply, const ModuleSender& module) {
    if (reply.mac &&
        std::memcmp(reply.mac->data(), module.module.record.abMacId, TOLM_MAC_SIZE) != 0)
        return false;
    if (reply.sender == module.module.sender) return true;
    return module.new_ip && reply.sender == *module.new_ip && reply.mac.has_value();
}

Verdict JudgeAnswers(const std::vector<Answer>& answers, const ModuleSender& module) {
    Verdict verdict;
    if (answers.empty()) {
        verdict.problem = "the module did not answer the scans after the change";
        return verdict;
    }
    std::vector<std::string> senders;
    for (const Answer& answer : answers)
        if (std::find(senders.begin(), senders.end(), SenderText(answer)) == senders.end())
            senders.push_back(SenderText(answer));
    if (senders.size() > 1) {
        std::string names;
        for (const std::string& sender : senders) names += (names.empty() ? "" : ", ") + sender;
        verdict.problem = "two or more senders answer as its MAC: " + names;
        verdict.final = true;
        return verdict;
    }
    const Answer& only = answers.back();
    const std::uint32_t expected = module.new_ip ? *module.new_ip : module.module.sender;
    if (module.any_sender || only.sender == expected) {
        verdict.answer = only;
        return verdict;
    }
    verdict.problem = "its answer came from " + senders.front() + ", not from " +
                      (module.new_ip ? "the address just given, " : "where it answered before, ") +
                      client::IpText(expected);
    return verdict;
}

}  // namespace tolm::linkora
