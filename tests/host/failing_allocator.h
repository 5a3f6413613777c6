// Makes every allocation of the process fail on demand, so that a test can
// load the library while memory runs out.
#pragma once

namespace tolm::host {

// False where allocations cannot be made to fail (on Windows the library
// brings its own allocator, out of the host's reach).
bool FailAllocations(bool fail);

}  // namespace tolm::host
