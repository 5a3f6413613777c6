// Times as the report and the audit log write them: UTC, ISO 8601.
#pragma once

#include <chrono>
#include <string>

namespace tolm::linkora {

// "2026-12-07T13:38:00.123Z"
std::string UtcTimeText(std::chrono::system_clock::time_point time);

}  // namespace tolm::linkora
