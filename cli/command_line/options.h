// Options that several verbs share, added to a verb's command the same way
// each time: times in milliseconds (or with a unit), on/off words in any
// letter case, a scan's limits, the output format, the audit log.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/delivery/audit_log.h"
#include "cli/session/scan_timing.h"

namespace tolm::linkora {

inline constexpr Milliseconds kLongestTime{600000};

// A time as every option takes it: a bare number is milliseconds, "500ms"
// and "2s" (or "1.5s") say their unit. None: not a time, or not whole ms.
std::optional<Milliseconds> ParseTime(const std::string& text);

// An option NAME taking a time within [least, most].
void AddMilliseconds(CLI::App* command, const std::string& name, Milliseconds& value,
                     const std::string& what, Milliseconds least = Milliseconds(0),
                     Milliseconds most = kLongestTime);
// An option taking on or off in any letter case; value holds "on" or "off".
void AddOnOff(CLI::App* command, const std::string& name, std::optional<std::string>& value,
              const std::string& what);
// An address option's value; none when the option was not given. A usage
// failure naming the option when it is no address or is 255.255.255.255.
std::optional<std::uint32_t> AddressOption(const char* option,
                                           const std::optional<std::string>& text);
void AddScanLimits(CLI::App* command, ScanLimits& limits);
// -f/--format, and its alias -o/--output, with the given words, the first
// the default. A verb that writes a file of its own (plan) keeps -o/--output
// for that file: it passes output_alias false.
void AddFormat(CLI::App* command, std::string& format, const std::vector<std::string>& words,
               const std::string& what, bool output_alias = true);
void AddLog(CLI::App* command, LogOptions& log);
void AddTimings(CLI::App* command, Milliseconds& find, Milliseconds& confirm, Milliseconds& verify,
                const char* found);

}  // namespace tolm::linkora
