// linkora: the command-line front end of the tolm library. `linkora --help`
// tells its commands, options and exit codes; each command is a verb of
// verbs/verbs.h.
#include <cstdio>
#include <exception>

#include "cli/command_line/command_line.h"
#include "cli/command_line/failure.h"
#include "cli/output/console.h"
#include "cli/platform/terminal.h"
#include "cli/verbs/verbs.h"

namespace {

using namespace tolm::linkora;

int Run(int argc, char** argv) {
    KeepRunningWhenOutputCloses();
    const std::vector<std::unique_ptr<Verb>> verbs = AllVerbs();
    const Parsed parsed = ParseCommandLine(argc, argv, verbs);
    if (parsed.verb == nullptr) return parsed.exit_code;
    return parsed.verb->Run(parsed.global);
}

}  // namespace

int main(int argc, char** argv) {
    int status = kFailed;
    try {
        status = Run(argc, argv);
    } catch (const Failure& failure) {
        Warn(failure.what());
        status = failure.Code();
    } catch (const std::exception& error) {
        Warn(error.what());
    }
    // Under Wine both streams are buffered like files.
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
