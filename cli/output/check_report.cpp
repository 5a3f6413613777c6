#include "cli/output/check_report.h"

#include <algorithm>

#include "cli/output/json_document.h"
#include "cli/output/table.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

json FindingJson(const Finding& f) {
    json item{{"kind", f.kind},
              {"severity", SeverityName(f.severity)},
              {"macs", f.macs},
              {"message", f.message}};
    for (const auto& [key, value] : f.details.items()) item[key] = value;
    return item;
}

std::string FindingLines(const std::vector<Finding>& findings) {
    Table table;
    // "warning" is the longest severity: the kinds line up whichever are found.
    table.MinimumWidth(0, 7);
    for (const Finding& f : findings) table.Add({SeverityName(f.severity), f.kind, f.message});
    return table.Text();
}

std::string FindingsSummary(const std::vector<Finding>& findings, std::size_t answered) {
    const std::string among = " among " + Counted(answered, "module", "modules") + " that answered";
    if (findings.empty()) return "No findings" + among + ".";
    std::size_t counts[3] = {0, 0, 0};
    for (const Finding& f : findings) ++counts[static_cast<int>(f.severity)];
    std::string parts;
    const auto part = [&](std::size_t count, const char* one, const char* many) {
        if (count > 0) parts += (parts.empty() ? "" : ", ") + Counted(count, one, many);
    };
    part(counts[0], "error", "errors");
    part(counts[1], "warning", "warnings");
    part(counts[2], "difference from the plan", "differences from the plan");
    return Counted(findings.size(), "finding", "findings") + " (" + parts + ")" + among + ".";
}

std::string CheckTableText(const CheckReport& report) {
    return FindingLines(report.findings) + FindingsSummary(report.findings, report.answered) + "\n";
}

std::string CheckJsonText(const CheckReport& report) {
    // The findings go in by move: a big plan's are many thousand, too many to copy twice.
    json findings = json::array();
    for (const Finding& f : report.findings) findings.push_back(FindingJson(f));
    json document = Document(json::object(), kCheckSchemaVersion);
    document["findings"] = std::move(findings);
    document["plan"] = report.plan ? json(*report.plan) : json(nullptr);
    document["answered"] = report.answered;
    document["planned"] = report.planned;
    document["adapters"] = report.adapters;
    document["seconds"] = report.seconds;
    return JsonText(document, 2) + "\n";
}

}  // namespace tolm::linkora
