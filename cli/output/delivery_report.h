// `--report FILE` of apply and set: the whole run as one JSON document,
// with no password in it.
#pragma once

#include <string>

#include "cli/delivery/record.h"

namespace tolm::linkora {

std::string DeliveryReportText(const DeliveryRecord& record);

}  // namespace tolm::linkora
