#include "failing_allocator.h"

namespace tolm::host {

bool FailAllocations(bool) {
    return false;
}

}  // namespace tolm::host
