#include "cli/plan/plan_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cli/command_line/failure.h"
#include "cli/output/printable.h"
#include "cli/plan/csv_cells.h"
#include "cli/plan/plan_fields.h"
#include "cli/plan/plan_json.h"
#include "cli/plan/plan_text.h"

namespace tolm::linkora {
namespace {

bool IsAddress(SettingField field) {
    return field != SettingField::kDhcp && field != SettingField::kHostName;
}

bool IsBlank(const CsvRow& row) {
    for (const CsvCell& cell : row)
        if (!Trimmed(cell.text).empty()) return false;
    return true;
}

// One per heading cell; nothing for an empty heading (spreadsheets save
// trailing empty columns) and for one that is refused.
using Columns = std::vector<std::optional<PlanColumn>>;

Columns ReadHeading(const CsvRow& heading, MacRule rule, std::vector<PlanProblem>& problems) {
    Columns columns;
    const CsvCell* mac = nullptr;
    std::vector<const CsvCell*> named(kSettingFields.size(), nullptr);
    for (const CsvCell& cell : heading) {
        std::optional<PlanColumn> column;
        const std::string_view name = Trimmed(cell.text);
        if (!name.empty() && !(column = ColumnNamed(name))) {
            problems.push_back({cell.where, "unknown heading \"" + std::string(name) +
                                                "\": the headings known (in any letter case) "
                                                "are " +
                                                KnownColumnNames()});
        } else if (column && column->kind != PlanColumn::Kind::kIgnored) {
            const bool is_mac = column->kind == PlanColumn::Kind::kMac;
            const CsvCell*& first = is_mac ? mac : named[static_cast<std::size_t>(column->field)];
            if (first != nullptr) {
                problems.push_back({cell.where, "the column \"" + std::string(name) +
                                                    "\" gives the same field as \"" +
                                                    std::string(Trimmed(first->text)) + "\""});
                column.reset();
            } else {
                first = &cell;
            }
        }
        columns.push_back(column);
    }
    if (mac == nullptr && rule == MacRule::kRequired)
        problems.push_back(
            {heading.front().where,
             "the heading row names no MAC column (MAC or MAC address); the columns are "
             "named as `linkora scan --format csv` names them"});
    return columns;
}

void ReadCsvPlan(std::string_view text, MacRule rule, Plan& plan,
                 std::vector<PlanProblem>& problems) {
    const CsvTable table = ReadCsv(text);
    if (!table.rows.empty()) {
        const CsvRow& heading = table.rows.front();
        const Columns columns = ReadHeading(heading, rule, problems);
        const bool has_mac_column =
            std::any_of(columns.begin(), columns.end(), [](const std::optional<PlanColumn>& c) {
                return c && c->kind == PlanColumn::Kind::kMac;
            });
        for (std::size_t r = 1; r < table.rows.size(); ++r) {
            const CsvRow& row = table.rows[r];
            if (IsBlank(row)) continue;
            PlannedModule module;
            module.where = row.front().where;
            const CsvCell* mac = nullptr;
            for (std::size_t c = 0; c < row.size(); ++c) {
                const CsvCell& cell = row[c];
                const bool headed = c < columns.size() && !Trimmed(heading[c].text).empty();
                if (!headed && !Trimmed(cell.text).empty())
                    problems.push_back({cell.where, "\"" + std::string(Trimmed(cell.text)) +
                                                        "\" stands in a column without a "
                                                        "heading"});
                if (!headed || !columns[c]) continue;
                if (columns[c]->kind == PlanColumn::Kind::kMac) {
                    mac = &cell;
                } else if (columns[c]->kind == PlanColumn::Kind::kField) {
                    const SettingField field = columns[c]->field;
                    std::string why = ReadSetting(field, cell.text, module.settings);
                    if (why.empty()) continue;
                    if (IsAddress(field)) why = SpreadsheetMade(cell.text, false).value_or(why);
                    problems.push_back({cell.where, std::move(why)});
                }
            }
            if (!has_mac_column && rule == MacRule::kRequired) continue;
            if (mac != nullptr) module.where = mac->where;
            if (mac == nullptr || IsNoValue(mac->text)) {
                // A row without a MAC waits for a module, where the verb allows it.
                module.has_mac = false;
                if (rule == MacRule::kRequired) {
                    problems.push_back({module.where, kNoMacProblem});
                    continue;
                }
            } else if (std::string why = ReadMac(mac->text, module.mac); !why.empty()) {
                problems.push_back(
                    {module.where, SpreadsheetMade(mac->text, true).value_or(std::move(why))});
                continue;
            }
            plan.modules.push_back(module);
        }
    }
    if (table.problem) problems.push_back(*table.problem);
}

}  // namespace

std::string ProblemText(const std::string& file, const PlanProblem& problem) {
    return file + ":" + std::to_string(problem.where.line) + ":" +
           std::to_string(problem.where.column) + ": " + problem.message;
}

PlanReading ReadPlan(std::string_view bytes, const std::string& file, MacRule rule) {
    PlanReading reading;
    reading.plan.file = file;
    const PlanText decoded = DecodePlanText(bytes);
    const std::string_view text = decoded.utf8;
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (text[first] == '{' || text[first] == '['))
        ReadJsonPlan(text, rule, reading.plan.modules, reading.problems);
    else
        ReadCsvPlan(text, rule, reading.plan, reading.problems);
    if (decoded.problem) reading.problems.push_back(*decoded.problem);
    std::stable_sort(reading.problems.begin(), reading.problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) {
                         return std::make_pair(a.where.line, a.where.column) <
                                std::make_pair(b.where.line, b.where.column);
                     });
    if (reading.problems.empty() && reading.plan.modules.empty())
        reading.problems.push_back({PlanPosition{}, "the plan lists no module"});
    return reading;
}

Plan ReadPlanFile(const std::string& path, MacRule rule) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Failure(kUsage, "cannot read the plan " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    PlanReading reading = ReadPlan(text.str(), path, rule);
    if (reading.problems.empty()) return std::move(reading.plan);
    for (const PlanProblem& problem : reading.problems)
        std::fprintf(stderr, "%s\n", PrintableLines(ProblemText(path, problem)).c_str());
    const std::size_t count = reading.problems.size();
    throw Failure(kUsage, "the plan " + path + " has " + std::to_string(count) +
                              (count == 1 ? " problem" : " problems") + "; nothing was sent");
}

}  // namespace tolm::linkora
