#include "lab_check.h"
#include "lab_guard.h"

namespace tolm::host {

void RequireLabOrExit() {
    tolm::lab::RequireLab("tolm-host");
}

}  // namespace tolm::host
