// What `linkora --help` says beyond the options: the exit codes as a list,
// a few examples and where the manual is; and the formatter that wraps every
// description to the terminal.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace tolm::linkora {

// Wraps text at blanks into lines of at most width characters; line feeds
// in text start a new line.
std::string WrapText(const std::string& text, std::size_t width);

// The exit codes, one "  N  meaning" line each.
std::string ExitCodeList();
// The footer of the top-level --help: exit codes, examples, the manual.
std::string HelpFooter();
// What `linkora` alone prints, with the commands named ("scan, set, ...").
std::string ShortUsage(const std::string& commands);

// CLI11's formatter with descriptions wrapped to columns characters.
class WrappingFormatter : public CLI::Formatter {
  public:
    explicit WrappingFormatter(std::size_t columns);
    std::string make_description(const CLI::App* app) const override;
    std::string make_option_desc(const CLI::Option* option) const override;
    std::string make_subcommand(const CLI::App* sub) const override;
    std::string make_footer(const CLI::App* app) const override;

  private:
    std::size_t DescriptionWidth() const;
    std::size_t columns_;
};

}  // namespace tolm::linkora
