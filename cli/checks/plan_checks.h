// What `linkora check` finds: faults of the network as the scan saw it
// (conflicts, duplicate addresses, impossible masks and addresses, modules
// the PC cannot reach) and, with a plan, what differs from it and what is
// wrong with the plan itself. The value checks then judge each module as it
// will be once the plan holds, so a plan may mend what the network has wrong.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/plan/plan.h"
#include "cli/session/module_list.h"
#include "tolm_ext.h"

namespace tolm::linkora {

enum class Severity { kError, kWarning, kInfo };
const char* SeverityName(Severity severity);

struct Finding {
    std::string kind;  // "duplicate-ip", ...
    Severity severity = Severity::kError;
    std::vector<std::string> macs;
    std::string message;
    nlohmann::ordered_json details = nlohmann::ordered_json::object();  // further keys
};

struct ScanView {
    std::vector<Answer> modules;  // the first answer of each MAC
    std::vector<Conflict> conflicts;
    std::vector<TOLM_AdapterType> adapters;  // empty where the library cannot list them
    // This PC's addresses on every adapter, also those --interface leaves out.
    std::vector<std::uint32_t> own_addresses;
};

// Errors first, then warnings, then the differences from the plan; plan may
// be null.
std::vector<Finding> CheckModules(const ScanView& scan, const Plan* plan);
bool HasErrors(const std::vector<Finding>& findings);

}  // namespace tolm::linkora
