// A plan as linkora writes it (`plan`, `assign --write`): CSV with the
// headings of `scan --format csv`, or JSON with the keys of `scan --format
// json`; only the columns some module is given, so that a field the plan
// leaves alone stays as each module has it. Both read back as the same plan.
#pragma once

#include <string>

#include "cli/plan/plan.h"

namespace tolm::linkora {

std::string PlanCsvText(const Plan& plan);
std::string PlanJsonText(const Plan& plan);

}  // namespace tolm::linkora
