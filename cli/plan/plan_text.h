// The text of a plan or passwords file as the reader sees it: UTF-8, from
// UTF-8 with or without a byte-order mark or from UTF-16 (little or big
// endian) with one, as spreadsheets and Windows PowerShell 5.1's `>` save.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/plan/plan.h"

namespace tolm::linkora {

struct PlanText {
    std::string utf8;                    // without the byte-order mark
    std::optional<PlanProblem> problem;  // UTF-16 that does not decode; text up to it kept
};

PlanText DecodePlanText(std::string_view bytes);

}  // namespace tolm::linkora
