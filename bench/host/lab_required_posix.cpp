#include "lab_guard.h"
#include "lab_required.h"

namespace tolm::bench {

void RequireLabOrExit() {
    lab::RequireLab("tolm-bench-host");
}

}  // namespace tolm::bench
