#include "cli/command_line/options.h"

namespace tolm::linkora {

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

void AddFormat(CLI::App* command, std::string& format, const std::vector<std::string>& words,
               const std::string& what) {
    format = words.front();
    command->add_option("-f,--format", format, what)
        ->check(CLI::IsMember(words))
        ->default_str(words.front());
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

}  // namespace tolm::linkora
