// One of linkora's commands ("scan", "set", ...): its options, its help and
// its run in one unit. The command line asks every verb of verbs/verbs.h to
// define itself, and runs the one the user named.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "cli/platform/library_path.h"

namespace tolm::linkora {

// The options before the command, which every verb may use.
struct GlobalOptions {
    std::string library;  // path of the library; empty: the default
    std::string adapter;  // empty: every adapter
};

inline std::string LibraryPath(const GlobalOptions& global) {
    return global.library.empty() ? DefaultLibraryPath() : global.library;
}

class Verb {
  public:
    virtual ~Verb() = default;
    // The command's word, as the user types it.
    virtual const char* Name() const = 0;
    // Adds the command with its description and options to app; what the
    // user gives lands in the verb's own members.
    virtual void Define(CLI::App& app) = 0;
    // Runs the command once the command line was read: the exit code, or a
    // thrown Failure.
    virtual int Run(const GlobalOptions& global) = 0;
};

}  // namespace tolm::linkora
