// The Windows check programs print one line per check and a summary last;
// Wine buffers a program's stdout fully, so every line is flushed at once.
#pragma once

#include <string>

namespace tolm::windows_test {

// Prints "ok: what" or "FAIL: what" and counts it.
void Check(bool holds, const std::string& what);

// Prints "N passed, M failed"; returns the exit status: 0 when every check held.
int Summarize();

}  // namespace tolm::windows_test
