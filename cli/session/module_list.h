// The answers of one scan: one entry per module (by MAC, the first answer
// kept), sorted by IP address value; a MAC that answers from more than one
// sender, or with differing values, is a conflict; answers without a MAC
// kept apart, up to a bound, and counted.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tolm.h"

namespace tolm::linkora {

struct Answer {
    TOLM_ModuleScanResponseType record;
    std::string adapter;              // the adapter it arrived on; empty when unknown
    std::uint32_t adapter_index = 0;  // its interface index; 0 when unknown
    std::uint32_t sender = 0;
};

// One MAC's distinct answers, the first first.
struct Conflict {
    std::vector<Answer> answers;
};

class ModuleList {
  public:
    // Answers without a MAC kept; more are only counted.
    static constexpr std::size_t kMaxWithoutMac = 100;
    // Distinct answers without a MAC told apart for the count; past this
    // many (a flood) every further one counts.
    static constexpr std::size_t kMaxWithoutMacCounted = 100000;
    // Distinct answers kept for one MAC; more only keep it a conflict.
    static constexpr std::size_t kMaxAnswersPerMac = 16;

    // True when the answer is of a module not listed before, or a MAC-less
    // answer not seen before while there is room to keep it.
    bool Add(const Answer& answer);

    // The first answer of each module, sorted by IP address value; modules
    // without an IP last, by MAC.
    std::vector<Answer> Modules() const;
    // The same, in the order the modules first answered.
    std::vector<Answer> InAnswerOrder() const;
    std::size_t ModuleCount() const { return order_.size(); }
    const Answer* Find(const std::uint8_t* mac) const;

    // MACs whose answers came from more than one sender or differ, in the
    // order the MACs first answered.
    std::vector<Conflict> Conflicts() const;
    // The distinct answers for a MAC that is a conflict; empty otherwise.
    std::vector<Answer> ConflictOf(const std::uint8_t* mac) const;

    const std::vector<Answer>& WithoutMac() const { return without_mac_; }
    // How many distinct answers without a MAC arrived, kept or not.
    std::size_t WithoutMacCount() const { return without_mac_count_; }
    // How many datagrams without a MAC arrived, the same ones again included.
    std::size_t WithoutMacArrivals() const { return without_mac_arrivals_; }

  private:
    std::unordered_map<std::uint64_t, std::vector<Answer>> by_mac_;
    std::vector<std::uint64_t> order_;  // MACs as they first answered
    std::vector<Answer> without_mac_;
    std::unordered_set<std::size_t> without_mac_seen_;  // hashes of the records
    std::size_t without_mac_count_ = 0;
    std::size_t without_mac_arrivals_ = 0;
};

}  // namespace tolm::linkora
