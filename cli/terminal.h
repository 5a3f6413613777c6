// The console: whether a stream is a terminal, reading a line without echo,
// and Ctrl-C. One implementation per OS.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace tolm::linkora {

bool IsTerminal(std::FILE* stream);

// Prompts on stderr and reads one line from the terminal on stdin without
// showing it; nothing at end of input.
std::optional<std::string> ReadHiddenLine(const std::string& prompt);

// From now on Ctrl-C (and SIGTERM) only set a flag that Interrupted() reads.
void CatchInterrupt();
bool Interrupted();
// Whether Ctrl-C came, and forgets it: what follows runs on until the next.
bool TakeInterrupt();

}  // namespace tolm::linkora
