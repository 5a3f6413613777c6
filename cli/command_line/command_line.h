// linkora's command line (CLI11): the options before the command, and the
// command itself as one of the verbs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/command_line/verb.h"

namespace tolm::linkora {

struct Parsed {
    Verb* verb = nullptr;  // none: --help, --version or an error was printed
    GlobalOptions global;
    int exit_code = 0;  // when there is no verb to run
};

// Parses argv against the verbs; --help, --version and errors are printed
// here (errors on stderr with a hint, exit code 2).
Parsed ParseCommandLine(int argc, const char* const* argv,
                        const std::vector<std::unique_ptr<Verb>>& verbs);

// "a, b and c": the verbs' names as a sentence lists them.
std::string VerbNames(const std::vector<std::unique_ptr<Verb>>& verbs, const char* last_joint);

}  // namespace tolm::linkora
