// linkora's command line (CLI11): commands, options and their checks.
#pragma once

#include <optional>
#include <string>

#include "scan_report.h"
#include "scan_timing.h"

namespace tolm::linkora {

// Where the audit log goes: the user's state folder unless a file is named.
struct LogOptions {
    std::string file;  // empty: linkora/audit.jsonl in the user's state folder
    bool off = false;  // --no-log
};

struct SetOptions {
    std::string mac;
    std::optional<std::string> ip, mask, gateway, dhcp, dns1, dns2, host_name;
    bool new_password = false;
    bool password_stdin = false;
    std::string password_file, new_password_file;
    bool no_verify = false;
    Milliseconds find_wait{3000}, confirm_wait{3000}, verify_wait{5000};
    LogOptions log;
};

struct CheckOptions {
    std::string plan;  // empty: the network alone
};

struct ApplyOptions {
    std::string plan;
    bool dry_run = false;
    std::string report;  // empty: none
    LogOptions log;
    bool password_stdin = false;
    std::string password_file;   // one password for every protected module
    std::string passwords_file;  // mac,password lines for those that differ
    Milliseconds find_wait{3000}, confirm_wait{3000}, verify_wait{5000};
};

struct WatchOptions {
    bool json = false;
    bool no_scan = false;
    double every_seconds = 0;  // 0: one scan at the start only
};

struct CommandLine {
    enum class Command {
        kScan,
        kSet,
        kWatch,
        kAdapters,
        kCheck,
        kApply
    } command = Command::kScan;
    std::string library;  // path of the library; empty: the default
    std::string adapter;  // empty: every adapter
    ScanLimits limits;
    Format format = Format::kTable;
    SetOptions set;
    WatchOptions watch;
    CheckOptions check;
    ApplyOptions apply;
};

struct Parsed {
    std::optional<CommandLine> command_line;
    int exit_code = 0;  // when there is no command line: --help, --version or an error
};

// Parses argv; --help, --version and errors are printed here (errors on
// stderr with a hint, exit code 2).
Parsed ParseCommandLine(int argc, const char* const* argv);

}  // namespace tolm::linkora
