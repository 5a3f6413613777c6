#include "cli/command_line/options.h"

#include <cctype>
#include <cmath>

#include "address_text.h"
#include "cli/command_line/failure.h"
#include "client/configure_request.h"

namespace tolm::linkora {
namespace {

std::string TimeText(Milliseconds ms) {
    return ms.count() % 1000 == 0 && ms.count() > 0 ? std::to_string(ms.count() / 1000) + "s"
                                                    : std::to_string(ms.count()) + " ms";
}

}  // namespace

std::optional<std::uint32_t> AddressOption(const char* option,
                                           const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    std::string error;
    const std::optional<std::uint32_t> address = tolm::client::ParseIpv4(*text, &error);
    if (!address) throw Failure(kUsage, std::string(option) + ": " + error);
    // The protocol spends this address on "leave unchanged".
    if (*address == tolm::client::kUnchangedAddress)
        throw Failure(kUsage, std::string(option) + ": 255.255.255.255 cannot be sent");
    return address;
}

std::optional<Milliseconds> ParseTime(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    std::size_t end = digits;
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        if (end == digits + 1) return std::nullopt;
    }
    if (digits == 0 || digits > 9) return std::nullopt;
    const std::string unit = text.substr(end);
    if (unit != "" && unit != "ms" && unit != "s") return std::nullopt;
    const double number = std::stod(text.substr(0, end));
    const double ms = unit == "s" ? number * 1000 : number;
    const auto whole = static_cast<long long>(ms + 0.5);
    if (std::abs(ms - static_cast<double>(whole)) > 1e-6) return std::nullopt;
    return Milliseconds(whole);
}

void AddMilliseconds(CLI::App* command, const std::string& name, Milliseconds& value,
                     const std::string& what, Milliseconds least, Milliseconds most) {
    CLI::Option* option = command->add_option_function<std::string>(
        name,
        [&value, name, least, most](const std::string& text) {
            const std::optional<Milliseconds> ms = ParseTime(text);
            if (!ms)
                throw CLI::ValidationError(
                    name, "\"" + text + "\" is no time: milliseconds, or a number with ms or s");
            if (*ms < least || *ms > most)
                throw CLI::ValidationError(
                    name, "\"" + text + "\" is " + std::to_string(ms->count()) +
                              " ms, not between " + TimeText(least) + " and " + TimeText(most) +
                              " (a bare number is milliseconds)");
            value = *ms;
        },
        what);
    option->type_name("TIME");
    // 0 means "not at all" where it is the default.
    if (value.count() > 0) option->default_str(std::to_string(value.count()));
}

void AddOnOff(CLI::App* command, const std::string& name, std::optional<std::string>& value,
              const std::string& what) {
    command->add_option(name, value, what)
        ->transform(CLI::IsMember({"on", "off"}, CLI::ignore_case));
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
               const std::string& what, bool output_alias) {
    format = words.front();
    command->add_option(output_alias ? "-f,-o,--format,--output" : "-f,--format", format, what)
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
