#include "cli/command_line/command_line.h"

#include <cstdio>

#include "cli/command_line/failure.h"
#include "cli/command_line/help_text.h"
#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

const char kDescription[] =
    "Finds the Ethernet interface modules of field-bus devices on every network adapter's "
    "segment and sets their IP settings.";

// CLI11 says only that a command is missing when the word given is none.
std::string WhatIsWrong(const CLI::App& app, const CLI::ParseError& error,
                        const std::vector<std::unique_ptr<Verb>>& verbs) {
    if (!app.get_subcommands().empty()) return error.what();
    for (const std::string& word : app.remaining())
        if (!word.empty() && word[0] != '-')
            return "unknown command \"" + word + "\": the commands are " +
                   VerbNames(verbs, " and ");
    return error.what();
}

}  // namespace

std::string VerbNames(const std::vector<std::unique_ptr<Verb>>& verbs, const char* last_joint) {
    std::string names;
    for (std::size_t i = 0; i < verbs.size(); ++i)
        names += std::string(i == 0                  ? ""
                             : i + 1 == verbs.size() ? last_joint
                                                     : ", ") +
                 verbs[i]->Name();
    return names;
}

Parsed ParseCommandLine(int argc, const char* const* argv,
                        const std::vector<std::unique_ptr<Verb>>& verbs) {
    Parsed parsed;
    if (argc <= 1) {
        std::fputs(ShortUsage(VerbNames(verbs, ", ")).c_str(), stderr);
        parsed.exit_code = kUsage;
        return parsed;
    }
    CLI::App app(kDescription, "linkora");
    app.formatter(std::make_shared<WrappingFormatter>(TerminalColumns()));
    // The commands take this footer; the top level gets the whole one below.
    app.footer("Exit codes and examples: linkora --help. The manual: man linkora.");
    app.set_version_flag("--version", "linkora " LINKORA_VERSION);
    app.require_subcommand(1);
    // On Windows CLI11 would take "/plans/line3.csv" for an option "/plans"; ours are all "--".
    app.allow_windows_style_options(false);
    app.add_option("-i,--interface", parsed.global.adapter,
                   "Use only this network adapter (default: every adapter)");
    app.add_option("--library", parsed.global.library,
                   "Path of the tolm library (default: " LINKORA_LIBRARY_DEFAULT ")")
        ->envname("TOLM_LIBRARY");
    for (const std::unique_ptr<Verb>& verb : verbs) verb->Define(app);
    app.footer(HelpFooter());
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        parsed.exit_code = app.exit(e);
        return parsed;
    } catch (const CLI::CallForAllHelp& e) {
        parsed.exit_code = app.exit(e);
        return parsed;
    } catch (const CLI::CallForVersion& e) {
        parsed.exit_code = app.exit(e);
        return parsed;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "linkora: %s\nRun 'linkora --help' or 'linkora COMMAND --help'.\n",
                     WhatIsWrong(app, e, verbs).c_str());
        std::fflush(stderr);
        parsed.exit_code = kUsage;
        return parsed;
    }
    for (const std::unique_ptr<Verb>& verb : verbs)
        if (app.got_subcommand(verb->Name())) parsed.verb = verb.get();
    std::fflush(stdout);
    return parsed;
}

}  // namespace tolm::linkora
