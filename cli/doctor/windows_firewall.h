// The Windows Firewall as its API tells it (INetFwPolicy2, INetFwRules),
// judged for the port and the programs that listen on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/doctor/finding.h"

namespace tolm::linkora::doctor {

// NET_FW_PROFILE2_DOMAIN, _PRIVATE, _PUBLIC.
enum : std::int32_t { kDomainProfile = 1, kPrivateProfile = 2, kPublicProfile = 4 };

struct FirewallProfile {
    std::int32_t type = 0;
    bool enabled = true;
    bool block_all_inbound = false;  // "Block all incoming connections"
    bool inbound_blocked_by_default = true;
    bool local_rules_ignored = false;  // a policy merges no local rules
};

struct FirewallRule {
    std::string name;
    std::string application;      // full path; empty: every program
    std::int32_t protocol = 256;  // 17 UDP, 256 any
    std::string local_ports;      // "*", "3250", "3000-3300,4000"; empty: any
    bool inbound = true;
    bool allow = true;
    bool enabled = true;
    std::int32_t profiles = 0x7FFFFFFF;  // bits of the profiles it applies to
};

struct FirewallState {
    std::vector<FirewallProfile> profiles;  // the ones in force now
    std::vector<FirewallRule> rules;
    bool rules_read = true;  // false: the rules could not be read, so none is judged
};

// The profiles by name: "Public", "Private and Public".
std::string ProfileNames(std::int32_t profiles);

// programs: the full paths that listen on the port (linkora.exe, the program).
std::vector<Finding> WindowsFirewallFindings(const FirewallState& state,
                                             const std::vector<std::string>& programs,
                                             std::uint16_t port);

}  // namespace tolm::linkora::doctor
