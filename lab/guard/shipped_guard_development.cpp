#include "lab_guard.h"
#include "shipped_guard.h"

namespace tolm::lab {

void RequireLabInDevelopmentBuild(const char* program) {
    RequireLab(program);
}

}  // namespace tolm::lab
