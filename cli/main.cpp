// linkora: the command-line front end of the tolm library. `linkora --help`
// tells its commands, options and exit codes.
#include <cstdio>
#include <exception>
#include <iostream>

#include "commands.h"
#include "failure.h"
#include "printable.h"

namespace {

using namespace tolm::linkora;

int Run(int argc, char** argv) {
    const Parsed parsed = ParseCommandLine(argc, argv);
    std::cout.flush();
    if (!parsed.command_line) return parsed.exit_code;
    const CommandLine& c = *parsed.command_line;
    switch (c.command) {
        case CommandLine::Command::kScan:
            return RunScan(c);
        case CommandLine::Command::kSet:
            return RunSet(c);
        case CommandLine::Command::kWatch:
            return RunWatch(c);
        case CommandLine::Command::kAdapters:
            return RunAdapters(c);
        case CommandLine::Command::kCheck:
            return RunCheck(c);
        case CommandLine::Command::kApply:
            return RunApply(c);
    }
    return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
    int status = kFailed;
    try {
        status = Run(argc, argv);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "linkora: %s\n", PrintableLines(failure.what()).c_str());
        status = failure.Code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "linkora: %s\n", PrintableLines(error.what()).c_str());
    }
    // Under Wine both streams are buffered like files.
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
