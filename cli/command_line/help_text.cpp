#include "cli/command_line/help_text.h"

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

namespace tolm::linkora {
namespace {

// Options and commands stand in a column this wide; their text follows.
constexpr std::size_t kNameColumn = 30;
// Narrower than this, wrapping stops helping.
constexpr std::size_t kNarrowest = 20;

const std::vector<std::pair<int, const char*>> kExitCodes = {
    {0, "success"},
    {1,
     "any other failure, e.g. the library cannot be loaded, or the audit log or the report "
     "cannot be written (the message says what was already sent)"},
    {2,
     "bad command line or input, nothing was sent: an unknown option, a value no module may be "
     "given, an empty new password without --remove-password, a report that would overwrite "
     "an input"},
    {3, "refused outside the test network (development builds only)"},
    {4,
     "UDP port 3250 cannot be used (another program holds it, no permission, no network) "
     "or a send failed"},
    {5,
     "the module did not answer; scan --expect N found fewer than N; check: no module answered "
     "at all"},
    {6, "the module refused the password"},
    {7, "no confirmation from the module in time (other senders' replies do not count)"},
    {8,
     "the module does not report the values that were set, or another sender answers as it "
     "after the change"},
    {9,
     "two or more senders answer as the module's MAC, or its answers differ: nothing was "
     "sent"},
    {10,
     "check found something; doctor found something in the way; apply refused the plan, or "
     "would (--dry-run): nothing was sent"},
    {11,
     "apply, assign: some planned modules did not end as planned; --dry-run: some did not "
     "answer"},
};

const char kExamples[] =
    "  linkora scan\n"
    "  linkora scan --format json --expect 12\n"
    "  linkora adapters\n"
    "  linkora doctor             (the scan finds nothing: why?)\n"
    "  linkora set 02-00-00-00-00-01 --ip 192.168.0.20 --mask 255.255.255.0 --hostname press_1\n"
    "  linkora set 02-00-00-00-00-02 --dhcp on --password-file press.pw\n"
    "  linkora watch --format json\n"
    "  linkora scan --format csv > plan.csv     (edit it, then:)\n"
    "  linkora check --plan plan.csv\n"
    "  linkora apply plan.csv --dry-run\n"
    "  linkora apply plan.csv --password-file line.pw --report report.json\n"
    "  linkora plan --ip 10.77.0.201 --ip-last 10.77.0.220 --hostname press_{n:02} -o line.csv\n"
    "  linkora assign --ip 10.77.0.201 --hostname press_{n:02} --write line.csv "
    "--report line.html\n";

}  // namespace

std::string WrapText(const std::string& text, std::size_t width) {
    width = std::max(width, kNarrowest);
    std::string out;
    std::istringstream paragraphs(text);
    for (std::string paragraph; std::getline(paragraphs, paragraph);) {
        if (!out.empty()) out += '\n';
        std::istringstream words(paragraph);
        std::size_t line = 0;
        for (std::string word; words >> word;) {
            if (line > 0 && line + 1 + word.size() > width) {
                out += '\n';
                line = 0;
            }
            if (line > 0) {
                out += ' ';
                ++line;
            }
            out += word;
            line += word.size();
        }
    }
    return out;
}

std::string ExitCodeList() {
    std::string list;
    for (const auto& [code, meaning] : kExitCodes)
        list += "  " + std::to_string(code) + "  " + meaning + "\n";
    return list;
}

std::string HelpFooter() {
    return std::string("Exit codes:\n") + ExitCodeList() + "\nExamples:\n" + kExamples +
           "\nEvery command has its own --help. The manual: man linkora (the user's guide on "
           "Windows).";
}

std::string ShortUsage(const std::string& commands) {
    return "Usage: linkora [--interface NAME] COMMAND [OPTIONS]\n"
           "Commands: " +
           commands +
           ".\n"
           "Run 'linkora --help' for the options, exit codes and examples, or 'man linkora'.\n";
}

WrappingFormatter::WrappingFormatter(std::size_t columns) : columns_(columns) {
    column_width(kNameColumn);
}

std::size_t WrappingFormatter::DescriptionWidth() const {
    return columns_ > kNameColumn + kNarrowest ? columns_ - kNameColumn - 1 : kNarrowest;
}

std::string WrappingFormatter::make_description(const CLI::App* app) const {
    const std::string description = app->get_description();
    return description.empty() ? "" : WrapText(description, columns_ - 1) + "\n\n";
}

std::string WrappingFormatter::make_option_desc(const CLI::Option* option) const {
    return WrapText(option->get_description(), DescriptionWidth());
}

std::string WrappingFormatter::make_subcommand(const CLI::App* sub) const {
    std::stringstream out;
    CLI::detail::format_help(out, sub->get_display_name(),
                             WrapText(sub->get_description(), DescriptionWidth()), column_width_);
    return out.str();
}

std::string WrappingFormatter::make_footer(const CLI::App* app) const {
    const std::string footer = app->get_footer();
    return footer.empty() ? "" : "\n" + footer + "\n";
}

}  // namespace tolm::linkora
