#include "cli/doctor/finding.h"

#include <algorithm>
#include <bitset>

#include "record_text.h"

namespace tolm::linkora::doctor {

const char* LevelName(Level level) {
    switch (level) {
        case Level::kError:
            return "error";
        case Level::kWarning:
            return "warning";
        case Level::kInfo:
            return "info";
        case Level::kOk:
            break;
    }
    return "ok";
}

Finding CouldNotCheck(const std::string& check, const std::string& what_and_why) {
    return {Level::kInfo, check, "could not check: " + what_and_why, "", false};
}

bool StandsInTheWay(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
        return f.level == Level::kError || f.level == Level::kWarning;
    });
}

namespace {

std::string WithPrefix(std::uint32_t address, std::uint32_t mask) {
    return client::IpText(address) + "/" + std::to_string(std::bitset<32>(mask).count());
}

}  // namespace

std::string NetText(const Ipv4Net& net) {
    return WithPrefix(net.address, net.mask);
}

std::string SubnetText(const Ipv4Net& net) {
    return WithPrefix(net.address & net.mask, net.mask);
}

}  // namespace tolm::linkora::doctor
