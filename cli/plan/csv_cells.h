// CSV as spreadsheets write it: cells split by ',', ';' or TAB, whichever
// the heading line uses, quoted cells with "" for a quote and line breaks
// inside, each cell with the line and column it starts at.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan/plan.h"

namespace tolm::linkora {

struct CsvCell {
    std::string text;
    PlanPosition where;
};
using CsvRow = std::vector<CsvCell>;

struct CsvTable {
    std::vector<CsvRow> rows;  // blank lines left out
    char separator = ',';
    std::optional<PlanProblem> problem;  // a quote left open; rows up to it kept
};

CsvTable ReadCsv(std::string_view text);

}  // namespace tolm::linkora
