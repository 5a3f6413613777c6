#include "lab_guard.h"

#include <cstdio>
#include <cstdlib>

#include "lab_links.h"

namespace tolm::lab {

std::string WhyNotInLab() {
    const char* run = std::getenv("TOLM_LAB");
    if (run == nullptr || *run == '\0') return "TOLM_LAB is not set (start it with lab/lab run)";
    return DescribeNonLabLink();
}

void RequireLab(const char* program) {
    const std::string why = WhyNotInLab();
    if (why.empty()) return;
    std::fprintf(stderr, "%s: refusing to run outside the lab network: %s\n", program, why.c_str());
    // Wine buffers stderr like a file; the message must survive the exit.
    std::fflush(stderr);
    std::exit(3);
}

}  // namespace tolm::lab
