// `--report FILE` of apply, set and assign: the whole run as one JSON
// document, or the handover record as CSV or HTML, by the file's extension;
// no password in any of them.
#pragma once

#include <string>

#include "cli/delivery/record.h"

namespace tolm::linkora {

enum class ReportFormat { kJson, kCsv, kHtml };

// .csv, .html or .htm in any letter case; JSON otherwise.
ReportFormat ReportFormatOf(const std::string& path);

std::string DeliveryReportText(const DeliveryRecord& record,
                               ReportFormat format = ReportFormat::kJson);

}  // namespace tolm::linkora
