// A plan in JSON: a `linkora scan --format json` document (its "modules")
// or an array of such module objects; null leaves a field unchanged. A key
// linkora does not know, or one given twice, is refused. Every problem
// carries the line and column of the value or key it is about.
#pragma once

#include <string_view>
#include <vector>

#include "cli/plan/plan.h"

namespace tolm::linkora {

void ReadJsonPlan(std::string_view text, MacRule rule, std::vector<PlannedModule>& modules,
                  std::vector<PlanProblem>& problems);

}  // namespace tolm::linkora
