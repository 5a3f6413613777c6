// For the programs that ship (linkora, the Windows program): development
// builds send only inside the lab, like every other program here; release
// builds (TOLM_LAB_ONLY off) run on real networks.
#pragma once

namespace tolm::lab {

// Call before loading the library. In a development build, exits with
// status 3 and a message outside a lab namespace; in a release build,
// returns at once.
void RequireLabInDevelopmentBuild(const char* program);

}  // namespace tolm::lab
