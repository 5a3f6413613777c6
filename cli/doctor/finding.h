// What `linkora doctor` reports: one finding per check, each saying what was
// seen and what to do. A check that cannot be made is said so at severity
// info ("could not check: ..."), never passed off as fine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolm::linkora::doctor {

enum class Level { kError, kWarning, kInfo, kOk };
const char* LevelName(Level level);

struct Finding {
    Level level = Level::kOk;
    std::string check;  // "adapters", "port", "firewall", "rp_filter", "scan"
    std::string seen;
    std::string todo;  // empty when there is nothing to do
    bool checked = true;
};

Finding CouldNotCheck(const std::string& check, const std::string& what_and_why);

// Errors and warnings stand in the way; info, ok and what could not be
// checked do not by themselves.
bool StandsInTheWay(const std::vector<Finding>& findings);

// An IPv4 address with its subnet mask, first dotted number in the most
// significant byte, as in the library's records.
struct Ipv4Net {
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
};

std::string NetText(const Ipv4Net& net);     // "10.77.0.1/24"
std::string SubnetText(const Ipv4Net& net);  // "10.77.0.0/24"

}  // namespace tolm::linkora::doctor
