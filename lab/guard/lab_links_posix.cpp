#include <filesystem>

#include "lab_guard.h"
#include "lab_links.h"

namespace tolm::lab {

std::string DescribeNonLabLink() {
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

}  // namespace tolm::lab
