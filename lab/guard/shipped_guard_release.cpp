#include "shipped_guard.h"

namespace tolm::lab {

void RequireLabInDevelopmentBuild(const char*) {}

}  // namespace tolm::lab
