#include "cli/output/handover_report.h"

#include "cli/output/csv_text.h"
#include "cli/output/printable.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

// The planned fields as the settings hold them: "IP 10.77.0.201, Host name press_01".
std::string PlannedFieldsText(const ModuleSettings& planned, const ModuleSettings& settings) {
    std::string text;
    for (const SettingField field : kSettingFields) {
        if (!SettingText(planned, field)) continue;
        const std::optional<std::string> value = SettingText(settings, field);
        text += (text.empty() ? "" : ", ") + std::string(FieldHeading(field)) + " " +
                value.value_or("N/A");
    }
    return text;
}

std::string Escaped(const std::string& text) {
    std::string html;
    for (const char c : Printable(text)) switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            default:
                html += c;
        }
    return html;
}

std::string Cells(const std::vector<std::string>& texts, const char* tag) {
    std::string row = "<tr>";
    for (const std::string& text : texts)
        row += std::string("<") + tag + ">" + Escaped(text) + "</" + tag + ">";
    return row + "</tr>\n";
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;font-size:11pt;margin:2em;color:#000;background:#fff}"
    "h1{font-size:16pt}table{border-collapse:collapse;margin-bottom:1.5em}"
    "th,td{border:1px solid #888;padding:.2em .5em;text-align:left;vertical-align:top}"
    "th{background:#eee}"
    "@media print{body{margin:0}tr{page-break-inside:avoid}}";

}  // namespace

std::vector<std::string> HandoverHeading() {
    return {"MAC", "before", "after", "result", "time", "adapter", "user"};
}

std::vector<std::vector<std::string>> HandoverRows(const DeliveryRecord& record) {
    std::vector<std::vector<std::string>> rows;
    for (const ModuleRun& run : record.runs) {
        const ModuleSettings& planned = run.planned.settings;
        std::string before, after;
        if (run.before) before = PlannedFieldsText(planned, ReportedSettings(run.before->record));
        if (run.after)
            after = PlannedFieldsText(planned, ReportedSettings(run.after->record));
        else if (run.outcome == Outcome::kUnchanged)
            after = before;
        const Answer* seen = run.after ? &*run.after : run.before ? &*run.before : nullptr;
        rows.push_back({client::MacText(run.planned.mac.data()), before, after,
                        OutcomeName(run.outcome), run.sent_at, seen ? seen->adapter : "",
                        record.user});
    }
    return rows;
}

std::string HandoverCsv(const DeliveryRecord& record) {
    std::string text = CsvLine(HandoverHeading());
    for (const std::vector<std::string>& row : HandoverRows(record)) text += CsvLine(row);
    return text;
}

std::string HandoverHtml(const DeliveryRecord& r) {
    const std::string title = "linkora " + r.command + (r.plan.empty() ? "" : " " + r.plan);
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>" + Escaped(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n";
    html += "<body>\n<h1>" + Escaped(title) + "</h1>\n<table>\n";
    std::string adapters;
    for (const TOLM_AdapterType& a : r.adapters)
        adapters += (adapters.empty() ? "" : ", ") + client::FieldText(a.szName) + " " +
                    client::IpText(a.dwAddress);
    const std::vector<std::pair<std::string, std::string>> facts = {
        {"Started", r.started},
        {"Ended", r.ended},
        {"Computer", r.computer},
        {"User", r.user},
        {"Adapters", adapters},
        {"Dry run", r.dry_run ? "yes" : "no"},
        {"Refused", r.refused ? "yes" : "no"},
        {"Interrupted", r.interrupted ? "yes" : "no"},
        {"Audit log", r.log},
        {"Exit code", std::to_string(r.exit_code)}};
    for (const auto& [name, value] : facts) html += Cells({name, value}, "td");
    html += "</table>\n";
    if (!r.findings.empty()) {
        html += "<h2>Findings</h2>\n<table>\n" + Cells({"severity", "kind", "message"}, "th");
        for (const Finding& f : r.findings)
            html += Cells({SeverityName(f.severity), f.kind, f.message}, "td");
        html += "</table>\n";
    }
    html += "<h2>Modules</h2>\n<table>\n" + Cells(HandoverHeading(), "th");
    for (const std::vector<std::string>& row : HandoverRows(r)) html += Cells(row, "td");
    html += "</table>\n</body>\n</html>\n";
    return html;
}

}  // namespace tolm::linkora
