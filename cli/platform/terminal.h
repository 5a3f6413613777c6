// The console: whether a stream is a terminal, reading a line without echo,
// and Ctrl-C. One implementation per OS.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace tolm::linkora {

bool IsTerminal(std::FILE* stream);

// The terminal's width on standard output; 80 when it cannot be told.
std::size_t TerminalColumns();

// Whether the stream, a terminal, takes escape sequences (cursor moves,
// erasing a line); on a Windows console this switches them on first.
bool EnableEscapes(std::FILE* stream);

// Prompts on stderr and reads one line from the terminal on stdin without
// showing it; nothing at end of input, or when Ctrl-C (once caught) ends the
// read, also one that came just before it. The echo is back on whichever way
// the read ends.
std::optional<std::string> ReadHiddenLine(const std::string& prompt);
// The same, the line shown as typed: a question's answer.
std::optional<std::string> ReadLine(const std::string& prompt);

// From now on Ctrl-C, SIGTERM and a closed terminal or SSH session (SIGHUP;
// on Windows the console's close, a logoff or a shutdown) only count: the
// first asks to start nothing new, the second to stop waiting too. A closed
// console counts as two: Windows ends the process a few seconds later, so
// only the record is written.
void CatchInterrupt();
int Interrupts();

// A standard output whose reader went away (linkora ... | head) only makes
// the writes fail: the run goes on and keeps its record.
void KeepRunningWhenOutputCloses();
inline bool Interrupted() {
    return Interrupts() > 0;
}

}  // namespace tolm::linkora
