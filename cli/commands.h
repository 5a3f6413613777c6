// linkora's commands; each returns the exit code or throws Failure.
#pragma once

#include "cli/command_line.h"

namespace tolm::linkora {

int RunScan(const CommandLine& command_line);
int RunSet(const CommandLine& command_line);
int RunWatch(const CommandLine& command_line);
int RunAdapters(const CommandLine& command_line);
int RunCheck(const CommandLine& command_line);
int RunApply(const CommandLine& command_line);

// The library beside linkora's own executable; one implementation per OS.
std::string DefaultLibraryPath();

}  // namespace tolm::linkora
