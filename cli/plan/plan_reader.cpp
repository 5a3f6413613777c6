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

namespace tolm::linkora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Column {
    bool mac = false;
    std::optional<SettingField> field;
};

bool IsBlank(const CsvRow& row) {
    for (const CsvCell& cell : row)
        if (!Trimmed(cell.text).empty()) return false;
    return true;
}

std::vector<Column> ReadHeading(const CsvRow& heading, bool rows_may_wait,
                                std::vector<PlanProblem>& problems) {
    std::vector<Column> columns;
    bool mac_named = false;
    std::vector<const CsvCell*> named(kSettingFields.size(), nullptr);
    for (const CsvCell& cell : heading) {
        Column column;
        if (IsMacName(cell.text)) {
            column.mac = !mac_named;
            if (mac_named) problems.push_back({cell.where, "a second MAC column"});
            mac_named = true;
        } else if ((column.field = FieldNamed(cell.text))) {
            const CsvCell*& first = named[static_cast<std::size_t>(*column.field)];
            if (first != nullptr)
                problems.push_back({cell.where, "the column \"" + std::string(Trimmed(cell.text)) +
                                                    "\" gives the same field as \"" +
                                                    std::string(Trimmed(first->text)) + "\""});
            first = &cell;
        }
        columns.push_back(column);
    }
    if (!mac_named && !rows_may_wait)
        problems.push_back({heading.front().where,
                            "the heading row names no MAC column (MAC or mac); the columns are "
                            "named as `linkora scan --format csv` names them"});
    return columns;
}

void ReadCsvPlan(std::string_view text, bool rows_may_wait, Plan& plan,
                 std::vector<PlanProblem>& problems) {
    const CsvTable table = ReadCsv(text);
    if (!table.rows.empty()) {
        const std::vector<Column> columns =
            ReadHeading(table.rows.front(), rows_may_wait, problems);
        const auto mac_column =
            std::find_if(columns.begin(), columns.end(), [](const Column& c) { return c.mac; });
        for (std::size_t r = 1; r < table.rows.size(); ++r) {
            const CsvRow& row = table.rows[r];
            if (IsBlank(row)) continue;
            PlannedModule module;
            module.where = row.front().where;
            std::string mac_problem = "no MAC address: every module of a plan needs one";
            for (std::size_t c = 0; c < row.size() && c < columns.size(); ++c) {
                const CsvCell& cell = row[c];
                if (columns[c].mac) {
                    module.where = cell.where;
                    module.waits = rows_may_wait && Trimmed(cell.text).empty();
                    if (!module.waits) mac_problem = ReadMac(cell.text, module.mac);
                } else if (columns[c].field) {
                    std::string why = ReadSetting(*columns[c].field, cell.text, module.settings);
                    if (!why.empty()) problems.push_back({cell.where, std::move(why)});
                }
            }
            if (mac_column == columns.end() && !rows_may_wait) continue;
            if (mac_column == columns.end()) module.waits = true;
            if (mac_problem.empty() || module.waits)
                plan.modules.push_back(module);
            else
                problems.push_back({module.where, mac_problem});
        }
    }
    if (table.problem) problems.push_back(*table.problem);
}

}  // namespace

std::string ProblemText(const std::string& file, const PlanProblem& problem) {
    return file + ":" + std::to_string(problem.where.line) + ":" +
           std::to_string(problem.where.column) + ": " + problem.message;
}

PlanReading ReadPlan(std::string_view text, const std::string& file, bool rows_may_wait) {
    PlanReading reading;
    reading.plan.file = file;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (text[first] == '{' || text[first] == '['))
        ReadJsonPlan(text, reading.plan.modules, reading.problems);
    else
        ReadCsvPlan(text, rows_may_wait, reading.plan, reading.problems);
    std::stable_sort(reading.problems.begin(), reading.problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) {
                         return std::make_pair(a.where.line, a.where.column) <
                                std::make_pair(b.where.line, b.where.column);
                     });
    if (reading.problems.empty() && reading.plan.modules.empty())
        reading.problems.push_back({PlanPosition{}, "the plan lists no module"});
    return reading;
}

Plan ReadPlanFile(const std::string& path, bool rows_may_wait) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Failure(kUsage, "cannot read the plan " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    PlanReading reading = ReadPlan(text.str(), path, rows_may_wait);
    if (reading.problems.empty()) return std::move(reading.plan);
    for (const PlanProblem& problem : reading.problems)
        std::fprintf(stderr, "%s\n", PrintableLines(ProblemText(path, problem)).c_str());
    const std::size_t count = reading.problems.size();
    throw Failure(kUsage, "the plan " + path + " has " + std::to_string(count) +
                              (count == 1 ? " problem" : " problems") + "; nothing was sent");
}

}  // namespace tolm::linkora
