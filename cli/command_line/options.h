// Options that several verbs share, added to a verb's command the same way
// each time: times in milliseconds, a scan's limits, the output format, the
// audit log.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/delivery/audit_log.h"
#include "cli/session/scan_timing.h"

namespace tolm::linkora {

void AddMilliseconds(CLI::App* command, const std::string& name, Milliseconds& value,
                     const std::string& what);
void AddScanLimits(CLI::App* command, ScanLimits& limits);
// -f/--format with the given words, the first the default.
void AddFormat(CLI::App* command, std::string& format, const std::vector<std::string>& words,
               const std::string& what);
void AddLog(CLI::App* command, LogOptions& log);
void AddTimings(CLI::App* command, Milliseconds& find, Milliseconds& confirm, Milliseconds& verify,
                const char* found);

}  // namespace tolm::linkora
