// The report of apply, set and assign as a handover record for the plant's
// documentation: a CSV of one row per module, or a self-contained HTML page
// of the same that prints as it shows. Never holds a password.
#pragma once

#include <string>
#include <vector>

#include "cli/delivery/record.h"

namespace tolm::linkora {

// MAC, before, after, result, time, adapter, user: one row per module.
std::vector<std::string> HandoverHeading();
std::vector<std::vector<std::string>> HandoverRows(const DeliveryRecord& record);

std::string HandoverCsv(const DeliveryRecord& record);
std::string HandoverHtml(const DeliveryRecord& record);

}  // namespace tolm::linkora
