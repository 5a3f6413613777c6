#include "cli/output/delivery_report.h"

#include <cctype>
#include <filesystem>

#include "cli/output/check_report.h"
#include "cli/output/handover_report.h"
#include "cli/output/json_document.h"
#include "cli/output/scan_report.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;
namespace client = tolm::client;

json OrNull(const std::optional<Answer>& answer) {
    return answer ? AnswerJson(*answer) : json(nullptr);
}

json PlannedJson(const ModuleSettings& planned) {
    json item = json::object();
    for (const SettingField field : kSettingFields)
        item[FieldKey(field)] = SettingJson(field, SettingText(planned, field));
    return item;
}

json ModuleJson(const ModuleRun& run) {
    json changes = json::array();
    for (const FieldChange& c : run.changes) changes.push_back(ChangeJson(c));
    json request = nullptr;
    if (run.request) request = MaskedPieces(*run.request);
    return json{{"mac", client::MacText(run.planned.mac.data())},
                {"line", run.planned.where.line},
                {"result", OutcomeName(run.outcome)},
                {"before", OrNull(run.before)},
                {"planned", PlannedJson(run.planned.settings)},
                {"after", OrNull(run.after)},
                {"changes", changes},
                {"request", request},
                {"sent", run.sent_at.empty() ? json(nullptr) : json(run.sent_at)},
                {"mismatches", run.mismatches}};
}

}  // namespace

ReportFormat ReportFormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".csv") return ReportFormat::kCsv;
    if (extension == ".html" || extension == ".htm") return ReportFormat::kHtml;
    return ReportFormat::kJson;
}

std::string DeliveryReportText(const DeliveryRecord& r, ReportFormat format) {
    if (format == ReportFormat::kCsv) return HandoverCsv(r);
    if (format == ReportFormat::kHtml) return HandoverHtml(r);
    json adapters = json::array();
    for (const TOLM_AdapterType& a : r.adapters)
        adapters.push_back({{"name", client::FieldText(a.szName)},
                            {"address", client::IpText(a.dwAddress)},
                            {"subnet_mask", client::IpText(a.dwSubnetMask)}});
    json findings = json::array();
    for (const Finding& f : r.findings) findings.push_back(FindingJson(f));
    json modules = json::array();
    for (const ModuleRun& run : r.runs) modules.push_back(ModuleJson(run));
    const json document =
        Document({{"command", r.command},
                  {"plan", r.plan.empty() ? json(nullptr) : json(r.plan)},
                  {"dry_run", r.dry_run},
                  {"started", r.started},
                  {"ended", r.ended},
                  {"computer", r.computer.empty() ? json(nullptr) : json(r.computer)},
                  {"user", r.user.empty() ? json(nullptr) : json(r.user)},
                  {"adapters", adapters},
                  {"refused", r.refused},
                  {"interrupted", r.interrupted},
                  {"findings", findings},
                  {"modules", modules},
                  {"log", r.log.empty() ? json(nullptr) : json(r.log)},
                  {"exit_code", r.exit_code}},
                 kReportSchemaVersion);
    return JsonText(document, 2) + "\n";
}

}  // namespace tolm::linkora
