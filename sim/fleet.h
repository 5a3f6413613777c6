// The modules made from the command line's settings: module n (from 1) takes
// the n-th MAC and IP counted up from the bases, the host name PREFIX-n, and
// the field-bus types and module versions in turn.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "module.h"

namespace tolm::sim {

struct FleetDefaults {
    Mac mac_base{0x02, 0, 0, 0, 0, 0x01};
    Ipv4 ip_base = 0x0A4D0065;  // 10.77.0.101
    Ipv4 subnet = 0xFFFFFF00;
    Ipv4 gateway = 0x0A4D0001;
    Ipv4 dns1 = 0x0A4D0001;
    Ipv4 dns2 = 0x0A4D0002;
    std::vector<std::string> fb_types{"PROFIBUS DP"};
    std::vector<Version> module_versions{{2, 15, 1000}};
    Version protocol_version{1, 0, 0};
    bool dhcp = false;
    std::string host_name_prefix = "module";
    std::string password;
};

// Module number index + 1. Throws std::invalid_argument when the MAC or IP
// would run past the end of its range.
Module MakeModule(const FleetDefaults& defaults, std::size_t index);

std::vector<Module> MakeModules(const FleetDefaults& defaults, std::size_t count);

}  // namespace tolm::sim
