// A scan's result as the user reads it: a table, CSV or JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/output/json_document.h"
#include "cli/session/module_list.h"

namespace tolm::linkora {

enum class Format { kTable, kJson, kCsv };

struct ScanReport {
    std::vector<Answer> modules;           // sorted
    std::vector<Conflict> conflicts;       // MACs whose answers disagree
    std::vector<Answer> without_mac;       // in arrival order, at most the list's bound
    std::size_t without_mac_count = 0;     // all distinct ones that arrived
    std::size_t without_mac_arrivals = 0;  // every such datagram, repeats included
    std::uint32_t dropped = 0;             // answers the library had no room for
    std::vector<std::string> adapters;     // the adapters the scan went through
    double seconds = 0;                    // how long the scan took
};

// The report of a finished scan.
ScanReport MakeScanReport(const ModuleList& list, std::vector<std::string> adapters, double seconds,
                          std::uint32_t dropped);

// The columns of a module's row: the device list's seven, then host name,
// DNS servers, password state and the adapter the module answered through.
std::vector<std::string> ColumnHeadings();
std::vector<std::string> RowTexts(const Answer& answer);

// Every field of the record, null where the module did not report it, and
// where the answer came from.
nlohmann::ordered_json AnswerJson(const Answer& answer);

// "10.77.0.11 via tl0": who sent an answer.
std::string SenderText(const Answer& answer);
// What is wrong with a MAC's answers, naming the senders: one line, no
// newline, ready for standard error.
std::string ConflictText(const Conflict& conflict);
// The warnings a table or CSV reader gets on standard error: conflicts,
// answers without MAC not listed, drops. One line each.
std::vector<std::string> ScanWarnings(const ScanReport& report, Format format);

std::string TableText(const ScanReport& report);
// escaped: every cell through Printable, as a terminal gets it.
std::string CsvText(const ScanReport& report, bool escaped = false);
std::string JsonText(const ScanReport& report);

}  // namespace tolm::linkora
