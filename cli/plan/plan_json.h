// A plan in JSON: a `linkora scan --format json` document (its "modules")
// or an array of such module objects; null leaves a field unchanged. Every
// problem carries the line and column of the value it is about.
#pragma once

#include <string_view>
#include <vector>

#include "cli/plan/plan.h"

namespace tolm::linkora {

void ReadJsonPlan(std::string_view text, std::vector<PlannedModule>& modules,
                  std::vector<PlanProblem>& problems);

}  // namespace tolm::linkora
