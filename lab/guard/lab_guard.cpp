#include "lab_guard.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tolm::lab {

std::string WhyNotInLab() {
    const char* run = std::getenv("TOLM_LAB");
    if (run == nullptr || *run == '\0') return "TOLM_LAB is not set (start it with lab/lab run)";
    std::error_code error;
    std::filesystem::directory_iterator links("/sys/class/net", error);
    if (error) return "cannot list the network interfaces: " + error.message();
    for (const auto& link : links) {
        const std::string name = link.path().filename().string();
        if (name != "lo" && name.rfind(kLinkPrefix, 0) != 0)
            return "interface " + name + " is not a lab link";
    }
    return {};
}

void RequireLab(const char* program) {
    const std::string why = WhyNotInLab();
    if (why.empty()) return;
    std::fprintf(stderr, "%s: refusing to run outside the lab network: %s\n", program, why.c_str());
    std::exit(3);
}

}  // namespace tolm::lab
