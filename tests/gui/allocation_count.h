// Counts the heap blocks of operator new that are still live, so a test can
// see that an operation frees what was allocated for it.
#pragma once

namespace gui_test {

long LiveAllocations();

}  // namespace gui_test
