#include "cli/session/module_list.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace tolm::linkora {
namespace {

std::uint64_t MacKey(const std::uint8_t* mac) {
    std::uint64_t key = 0;
    for (int i = 0; i < TOLM_MAC_SIZE; ++i) key = key << 8 | mac[i];
    return key;
}

bool SameAnswer(const Answer& a, const Answer& b) {
    return a.sender == b.sender && std::memcmp(&a.record, &b.record, sizeof a.record) == 0;
}

std::string RecordBytes(const Answer& answer) {
    return std::string(reinterpret_cast<const char*>(&answer.record), sizeof answer.record);
}

}  // namespace

bool ModuleList::Add(const Answer& answer) {
    if (answer.record.bMacIdValid != 1) {
        ++without_mac_arrivals_;
        // The same answer again (another round, another adapter) adds nothing.
        if (without_mac_seen_.size() < kMaxWithoutMacCounted &&
            !without_mac_seen_.insert(std::hash<std::string>{}(RecordBytes(answer))).second)
            return false;
        ++without_mac_count_;
        if (without_mac_.size() >= kMaxWithoutMac) return false;
        without_mac_.push_back(answer);
        return true;
    }
    const std::uint64_t key = MacKey(answer.record.abMacId);
    std::vector<Answer>& answers = by_mac_[key];
    if (answers.empty()) {
        order_.push_back(key);
        answers.push_back(answer);
        return true;
    }
    // The same module heard again (through another adapter, say) adds nothing.
    if (answers.size() < kMaxAnswersPerMac &&
        std::none_of(answers.begin(), answers.end(),
                     [&](const Answer& known) { return SameAnswer(known, answer); }))
        answers.push_back(answer);
    return false;
}

const Answer* ModuleList::Find(const std::uint8_t* mac) const {
    const auto found = by_mac_.find(MacKey(mac));
    return found == by_mac_.end() ? nullptr : &found->second.front();
}

std::vector<Answer> ModuleList::InAnswerOrder() const {
    std::vector<Answer> modules;
    modules.reserve(order_.size());
    for (const std::uint64_t key : order_) modules.push_back(by_mac_.at(key).front());
    return modules;
}

std::vector<Answer> ModuleList::Modules() const {
    std::vector<Answer> sorted = InAnswerOrder();
    const auto key = [](const Answer& a) {
        const TOLM_ModuleScanResponseType& r = a.record;
        return std::make_tuple(r.bIpAddressValid != 1, r.bIpAddressValid == 1 ? r.dwIpAddress : 0u,
                               MacKey(r.abMacId));
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Answer& a, const Answer& b) { return key(a) < key(b); });
    return sorted;
}

std::vector<Conflict> ModuleList::Conflicts() const {
    std::vector<Conflict> conflicts;
    for (const std::uint64_t key : order_) {
        const std::vector<Answer>& answers = by_mac_.at(key);
        if (answers.size() > 1) conflicts.push_back({answers});
    }
    return conflicts;
}

std::vector<Answer> ModuleList::ConflictOf(const std::uint8_t* mac) const {
    const auto found = by_mac_.find(MacKey(mac));
    if (found == by_mac_.end() || found->second.size() < 2) return {};
    return found->second;
}

}  // namespace tolm::linkora
