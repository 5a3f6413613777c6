// A commissioning plan: which module (by MAC) gets which settings, read from
// a CSV or JSON file, and what is wrong with such a file, by line and column.
#pragma once

#include <string>
#include <vector>

#include "address_text.h"
#include "cli/plan/module_settings.h"

namespace tolm::linkora {

struct PlanPosition {
    int line = 1;    // from 1
    int column = 1;  // from 1, in bytes
};

// Whether every row must name its module: rows without a MAC wait for
// modules that newly answer, where a verb assigns them so.
enum class MacRule { kRequired, kOptional };

struct PlannedModule {
    client::Mac mac{};
    ModuleSettings settings;  // nothing: leave unchanged
    PlanPosition where;       // of its MAC
    bool has_mac = true;      // false: a row that waits for a module (MacRule::kOptional)
};

struct Plan {
    std::string file;  // as the user named it
    std::vector<PlannedModule> modules;
};

struct PlanProblem {
    PlanPosition where;
    std::string message;
};

// "plan.csv:3:5: message", as compilers write it.
std::string ProblemText(const std::string& file, const PlanProblem& problem);

}  // namespace tolm::linkora
