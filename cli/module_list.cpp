#include "module_list.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace tolm::linkora {
namespace {

bool SameRecord(const Answer& a, const Answer& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0;
}

}  // namespace

bool ModuleList::Add(const Answer& answer) {
    if (answer.record.bMacIdValid != 1) {
        const bool seen =
            std::any_of(without_mac_.begin(), without_mac_.end(),
                        [&](const Answer& known) { return SameRecord(known, answer); });
        if (!seen) without_mac_.push_back(answer);
        return !seen;
    }
    if (Find(answer.record.abMacId) != nullptr) return false;
    modules_.push_back(answer);
    return true;
}

const Answer* ModuleList::Find(const std::uint8_t* mac) const {
    for (const Answer& known : modules_)
        if (std::memcmp(known.record.abMacId, mac, TOLM_MAC_SIZE) == 0) return &known;
    return nullptr;
}

std::vector<Answer> ModuleList::Modules() const {
    std::vector<Answer> sorted = modules_;
    const auto key = [](const Answer& a) {
        const TOLM_ModuleScanResponseType& r = a.record;
        return std::make_tuple(
            r.bIpAddressValid != 1, r.bIpAddressValid == 1 ? r.dwIpAddress : 0u,
            std::string(reinterpret_cast<const char*>(r.abMacId), TOLM_MAC_SIZE));
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Answer& a, const Answer& b) { return key(a) < key(b); });
    return sorted;
}

}  // namespace tolm::linkora
