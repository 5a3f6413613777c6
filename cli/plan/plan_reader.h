// Reads a plan file: CSV with a heading row (as `linkora scan --format csv`
// writes it, or a spreadsheet with the program's labels) or JSON (as
// `linkora scan --format json` does). Every problem
// is found, not just the first, so that one edit fixes them all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/plan/plan.h"

namespace tolm::linkora {

struct PlanReading {
    Plan plan;
    std::vector<PlanProblem> problems;  // in the order of the file
};

// In any encoding DecodePlanText reads; JSON when the first character that
// is not white space is '{' or '['.
PlanReading ReadPlan(std::string_view bytes, const std::string& file,
                     MacRule rule = MacRule::kRequired);

// Reads the file; a usage failure when it cannot be read, or when it has
// problems, after printing each on standard error as file:line:column.
Plan ReadPlanFile(const std::string& path, MacRule rule = MacRule::kRequired);

}  // namespace tolm::linkora
