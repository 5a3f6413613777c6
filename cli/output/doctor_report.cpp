#include "cli/output/doctor_report.h"

#include <nlohmann/json.hpp>

#include "cli/output/json_document.h"
#include "cli/output/table.h"

namespace tolm::linkora {
namespace {

using doctor::Finding;
using doctor::Level;
using json = nlohmann::ordered_json;

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

struct Counts {
    std::size_t by_level[4] = {0, 0, 0, 0};
    std::size_t unchecked = 0;
};

Counts CountOf(const std::vector<Finding>& findings) {
    Counts counts;
    for (const Finding& f : findings) {
        ++counts.by_level[static_cast<int>(f.level)];
        if (!f.checked) ++counts.unchecked;
    }
    return counts;
}

}  // namespace

std::string DoctorTableText(const DoctorReport& report) {
    Table table;
    table.MinimumWidth(0, 7);  // "warning", the longest severity
    for (const Finding& f : report.findings)
        table.Add({doctor::LevelName(f.level), f.check,
                   f.seen + (f.todo.empty() ? "" : " -> " + f.todo)});
    const Counts c = CountOf(report.findings);
    std::string summary;
    if (doctor::StandsInTheWay(report.findings)) {
        summary = "Something stands in the way: " + Counted(c.by_level[0], "error", "errors") +
                  ", " + Counted(c.by_level[1], "warning", "warnings");
    } else {
        summary = "Nothing stands in the way: " + Counted(c.by_level[3], "check", "checks") + " ok";
    }
    if (c.unchecked > 0)
        summary += "; " + Counted(c.unchecked, "check", "checks") + " could not be made";
    summary += "; " + Counted(report.answered, "module", "modules") + " answered.\n";
    return table.Text() + summary;
}

std::string DoctorJsonText(const DoctorReport& report) {
    json findings = json::array();
    for (const Finding& f : report.findings)
        findings.push_back({{"severity", doctor::LevelName(f.level)},
                            {"check", f.check},
                            {"seen", f.seen},
                            {"todo", f.todo.empty() ? json(nullptr) : json(f.todo)},
                            {"checked", f.checked}});
    const Counts c = CountOf(report.findings);
    const json document = Document({{"findings", findings},
                                    {"stands_in_the_way", doctor::StandsInTheWay(report.findings)},
                                    {"errors", c.by_level[0]},
                                    {"warnings", c.by_level[1]},
                                    {"could_not_check", c.unchecked},
                                    {"adapters", report.adapters},
                                    {"answered", report.answered},
                                    {"seconds", report.seconds}});
    return JsonText(document, 2) + "\n";
}

}  // namespace tolm::linkora
