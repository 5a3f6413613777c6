// A scan's result as the user reads it: a table, CSV or JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "module_list.h"

namespace tolm::linkora {

enum class Format { kTable, kJson, kCsv };

struct ScanReport {
    std::vector<Answer> modules;        // sorted
    std::vector<Answer> without_mac;    // in arrival order
    std::vector<std::string> adapters;  // the adapters the scan went through
    double seconds = 0;                 // how long the scan took
};

// The columns of a module's row: the device list's seven, then host name,
// DNS servers, password state and the adapter the module answered through.
std::vector<std::string> ColumnHeadings();
std::vector<std::string> RowTexts(const Answer& answer);

// Every field of the record, null where the module did not report it, and
// where the answer came from.
nlohmann::ordered_json AnswerJson(const Answer& answer);
// Never throws on bytes that are not UTF-8: they are replaced.
std::string JsonText(const nlohmann::ordered_json& value, int indent);

std::string TableText(const ScanReport& report);
std::string CsvText(const ScanReport& report);
std::string JsonText(const ScanReport& report);

}  // namespace tolm::linkora
