#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <map>

#include "failure.h"
#include "help_text.h"
#include "terminal.h"

namespace tolm::linkora {
namespace {

const std::map<std::string, Format> kFormats{
    {"table", Format::kTable}, {"json", Format::kJson}, {"csv", Format::kCsv}};

const char kDescription[] =
    "Finds the Ethernet interface modules of field-bus devices on every network adapter's "
    "segment and sets their IP settings.";

void AddMilliseconds(CLI::App* command, const std::string& name, Milliseconds& value,
                     const std::string& what) {
    command
        ->add_option_function<long long>(
            name, [&value](long long ms) { value = Milliseconds(ms); }, what)
        ->check(CLI::Range(0LL, 600000LL))
        ->default_str(std::to_string(value.count()));
}

void AddScanLimits(CLI::App* command, ScanLimits& limits) {
    AddMilliseconds(command, "--quiet-ms", limits.quiet,
                    "A round is over when no new module answered for this long; the scan is "
                    "then sent again, until a round adds nobody (answers get lost)");
    AddMilliseconds(command, "--min-wait-ms", limits.min_wait,
                    "Never end before this: some modules answer after a second");
    AddMilliseconds(command, "--max-wait-ms", limits.max_wait, "Always end by this");
    command->add_option("--rounds", limits.rounds, "Send the scan at most this many times")
        ->check(CLI::Range(1, 20))
        ->default_str(std::to_string(limits.rounds));
    command->add_option("--expect", limits.expect, "End once this many modules answered")
        ->check(CLI::Range(1, 100000));
}

void AddScan(CLI::App& app, CommandLine& c, std::string& format) {
    CLI::App* scan = app.add_subcommand("scan", "Lists every module that answers a scan.");
    scan->fallthrough();
    AddScanLimits(scan, c.limits);
    scan->add_option("-f,--format", format, "table, json or csv")
        ->check(CLI::IsMember({"table", "json", "csv"}))
        ->default_str("table");
    scan->callback([&c] { c.command = CommandLine::Command::kScan; });
}

void AddLog(CLI::App* command, LogOptions& log) {
    CLI::Option* file = command->add_option(
        "--log", log.file,
        "Append the audit log's lines to FILE (default: linkora/audit.jsonl in the user's state "
        "folder)");
    command->add_flag("--no-log", log.off, "Write no audit log")->excludes(file);
}

void AddTimings(CLI::App* command, Milliseconds& find, Milliseconds& confirm, Milliseconds& verify,
                const char* found) {
    AddMilliseconds(command, "--find-ms", find, found);
    AddMilliseconds(command, "--confirm-ms", confirm, "How long a confirmation is waited for");
    AddMilliseconds(command, "--verify-ms", verify, "How long the new values are waited for");
}

void AddSet(CLI::App& app, CommandLine& c) {
    SetOptions& s = c.set;
    CLI::App* set = app.add_subcommand(
        "set",
        "Sets a module's IP settings: listens for the whole --find-ms window for every answer "
        "as the MAC, sends only the changes given (and the host name, which every request "
        "carries) through the adapter the module answered on, waits for the module's own "
        "confirmation and scans again to verify. Passwords are asked for on the terminal "
        "without echo, or read from --password-stdin or files.");
    set->fallthrough();
    set->add_option("MAC", s.mac, "The module's MAC address, e.g. 02-00-00-00-00-01")->required();
    set->add_option("--ip", s.ip, "New IP address");
    set->add_option("--mask", s.mask, "New subnet mask");
    set->add_option("--gateway", s.gateway, "New default gateway");
    set->add_option("--dhcp", s.dhcp, "DHCP on or off")->check(CLI::IsMember({"on", "off"}));
    set->add_option("--dns1", s.dns1, "New primary DNS server");
    set->add_option("--dns2", s.dns2, "New secondary DNS server");
    set->add_option("--hostname", s.host_name, "New host name: letters, digits and '_'");
    set->add_flag("--new-password", s.new_password, "Set a new password (asked for)");
    CLI::Option* from_stdin = set->add_flag(
        "--password-stdin", s.password_stdin,
        "Read the password from standard input's first line (the new one from the next)");
    set->add_option("--password-file", s.password_file, "Read the password from FILE's first line")
        ->excludes(from_stdin);
    set->add_option("--new-password-file", s.new_password_file,
                    "Read the new password from FILE's first line (implies --new-password)");
    set->add_flag("--no-verify", s.no_verify, "Do not scan again to check the new values");
    AddTimings(set, s.find_wait, s.confirm_wait, s.verify_wait,
               "How long the module is looked for");
    AddLog(set, s.log);
    set->callback([&c] { c.command = CommandLine::Command::kSet; });
}

void AddWatch(CLI::App& app, CommandLine& c) {
    WatchOptions& w = c.watch;
    CLI::App* watch = app.add_subcommand(
        "watch", "Prints every answer and notification as it arrives until Ctrl-C.");
    watch->fallthrough();
    watch
        ->add_option_function<std::string>(
            "-f,--format", [&w](const std::string& f) { w.json = f == "json"; },
            "text, or json for JSON lines")
        ->check(CLI::IsMember({"text", "json"}))
        ->default_str("text");
    watch->add_flag("--no-scan", w.no_scan, "Only listen; send no scan");
    watch->add_option("--every", w.every_seconds, "Scan again every SECONDS")
        ->check(CLI::Range(0.1, 86400.0));
    watch->callback([&c] { c.command = CommandLine::Command::kWatch; });
}

void AddAdapters(CLI::App& app, CommandLine& c, std::string& format) {
    CLI::App* adapters = app.add_subcommand(
        "adapters",
        "Lists the network adapters linkora sends through: up, IPv4, with a broadcast address "
        "(loopback left out).");
    adapters->fallthrough();
    adapters->add_option("-f,--format", format, "table or json")
        ->check(CLI::IsMember({"table", "json"}))
        ->default_str("table");
    adapters->callback([&c] { c.command = CommandLine::Command::kAdapters; });
}

void AddCheck(CLI::App& app, CommandLine& c, std::string& format) {
    CLI::App* check = app.add_subcommand(
        "check",
        "Scans and reports what is wrong, one finding per line: conflicting answers, duplicate "
        "addresses, masks whose bits are not contiguous, 0.0.0.0 with DHCP off, network or "
        "broadcast addresses (errors); duplicate host names, gateways outside the subnet, modules "
        "this PC cannot reach (warnings). With --plan also what is missing, unexpected or differs, "
        "and what is wrong with the plan. Exit 10 when anything is found.");
    check->fallthrough();
    check->add_option("--plan", c.check.plan, "Check against this plan (CSV or JSON)");
    AddScanLimits(check, c.limits);
    check->add_option("-f,--format", format, "table or json")
        ->check(CLI::IsMember({"table", "json"}))
        ->default_str("table");
    check->callback([&c] { c.command = CommandLine::Command::kCheck; });
}

void AddApply(CLI::App& app, CommandLine& c) {
    ApplyOptions& a = c.apply;
    CLI::App* apply = app.add_subcommand(
        "apply",
        "Applies a plan (CSV or JSON, as scan writes them): scans, refuses the whole plan when "
        "check --plan finds an error (exit 10), sends each module that is not as planned only its "
        "planned changes through the adapter it answered on, waits for its own confirmation, scans "
        "again to verify and prints one row per planned module. Exit 11 when some did not end as "
        "planned. Passwords never stand in a plan.");
    apply->fallthrough();
    apply->add_option("PLAN", a.plan, "The plan file")->required();
    apply->add_flag("--dry-run", a.dry_run,
                    "Show what would be sent, passwords as ****, and send nothing");
    apply->add_option("--report", a.report, "Write the whole run as JSON to FILE");
    AddLog(apply, a.log);
    CLI::Option* from_stdin = apply->add_flag(
        "--password-stdin", a.password_stdin,
        "Read the password of the protected modules from standard input's first line");
    apply
        ->add_option("--password-file", a.password_file,
                     "Read the password of the protected modules from FILE's first line")
        ->excludes(from_stdin);
    apply->add_option("--passwords", a.passwords_file,
                      "A CSV of mac,password lines for modules whose password differs");
    AddTimings(apply, a.find_wait, a.confirm_wait, a.verify_wait,
               "How long the modules are listened for");
    apply->callback([&c] { c.command = CommandLine::Command::kApply; });
}

// CLI11 says only that a command is missing when the word given is none.
std::string WhatIsWrong(const CLI::App& app, const CLI::ParseError& error) {
    if (!app.get_subcommands().empty()) return error.what();
    for (const std::string& word : app.remaining())
        if (!word.empty() && word[0] != '-')
            return "unknown command \"" + word +
                   "\": the commands are scan, set, watch, adapters, check and apply";
    return error.what();
}

}  // namespace

Parsed ParseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    std::string format = "table";
    if (argc <= 1) {
        std::fputs(ShortUsage().c_str(), stderr);
        return {std::nullopt, kUsage};
    }
    CLI::App app(kDescription, "linkora");
    app.formatter(std::make_shared<WrappingFormatter>(TerminalColumns()));
    // The commands take this footer; the top level gets the whole one below.
    app.footer("Exit codes and examples: linkora --help. The manual: man linkora.");
    app.set_version_flag("--version", "linkora " LINKORA_VERSION);
    app.require_subcommand(1);
    // On Windows CLI11 would take "/plans/line3.csv" for an option "/plans"; ours are all "--".
    app.allow_windows_style_options(false);
    app.add_option("-i,--interface", c.adapter,
                   "Use only this network adapter (default: every adapter)");
    app.add_option("--library", c.library,
                   "Path of the tolm library (default: " LINKORA_LIBRARY_DEFAULT ")")
        ->envname("TOLM_LIBRARY");
    AddScan(app, c, format);
    AddSet(app, c);
    AddWatch(app, c);
    AddAdapters(app, c, format);
    std::string check_format = "table";
    AddCheck(app, c, check_format);
    AddApply(app, c);
    app.footer(HelpFooter());
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return {std::nullopt, app.exit(e)};
    } catch (const CLI::CallForAllHelp& e) {
        return {std::nullopt, app.exit(e)};
    } catch (const CLI::CallForVersion& e) {
        return {std::nullopt, app.exit(e)};
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "linkora: %s\nRun 'linkora --help' or 'linkora COMMAND --help'.\n",
                     WhatIsWrong(app, e).c_str());
        std::fflush(stderr);
        return {std::nullopt, kUsage};
    }
    c.format = kFormats.at(c.command == CommandLine::Command::kCheck ? check_format : format);
    if (!c.set.new_password_file.empty()) c.set.new_password = true;
    std::fflush(stdout);
    return {c, kSuccess};
}

}  // namespace tolm::linkora
