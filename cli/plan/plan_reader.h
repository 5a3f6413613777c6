// Reads a plan file: CSV with a heading row (as `linkora scan --format csv`
// writes it) or JSON (as `linkora scan --format json` does). Every problem
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

// JSON when the first byte that is not white space is '{' or '['. With
// rows_may_wait (assign's plans) a CSV needs no MAC column, and a row with an
// empty MAC waits for a module.
PlanReading ReadPlan(std::string_view text, const std::string& file, bool rows_may_wait = false);

// Reads the file; a usage failure when it cannot be read, or when it has
// problems, after printing each on standard error as file:line:column.
Plan ReadPlanFile(const std::string& path, bool rows_may_wait = false);

}  // namespace tolm::linkora
