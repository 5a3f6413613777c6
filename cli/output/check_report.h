// Findings as the user reads them: one line each in a table, or JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/checks/plan_checks.h"

namespace tolm::linkora {

nlohmann::ordered_json FindingJson(const Finding& finding);

// "error    duplicate-ip   10.77.0.101 is reported by ...", module texts escaped.
std::string FindingLines(const std::vector<Finding>& findings);

// "3 findings (1 error, 1 warning, 1 difference from the plan) among 12
// modules that answered." or "No findings among 12 modules that answered."
std::string FindingsSummary(const std::vector<Finding>& findings, std::size_t answered);

struct CheckReport {
    std::vector<Finding> findings;
    std::optional<std::string> plan;  // the plan file, if any
    std::size_t answered = 0;         // modules that answered
    std::size_t planned = 0;
    std::vector<std::string> adapters;
    double seconds = 0;  // of the scan
};

std::string CheckTableText(const CheckReport& report);
std::string CheckJsonText(const CheckReport& report);

}  // namespace tolm::linkora
