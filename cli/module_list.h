// The answers of one scan: one entry per module (by MAC, the first answer
// kept), sorted by IP address value; answers without a MAC kept apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tolm.h"

namespace tolm::linkora {

struct Answer {
    TOLM_ModuleScanResponseType record;
    std::string adapter;  // the adapter it arrived on; empty when unknown
    std::uint32_t sender = 0;
};

class ModuleList {
  public:
    // False when the answer adds nothing: its module is listed already, or
    // the same MAC-less answer came before (through another adapter, say).
    bool Add(const Answer& answer);

    // Sorted by IP address value; modules without an IP last, by MAC.
    std::vector<Answer> Modules() const;
    const std::vector<Answer>& WithoutMac() const { return without_mac_; }
    std::size_t ModuleCount() const { return modules_.size(); }
    const Answer* Find(const std::uint8_t* mac) const;

  private:
    std::vector<Answer> modules_;
    std::vector<Answer> without_mac_;
};

}  // namespace tolm::linkora
