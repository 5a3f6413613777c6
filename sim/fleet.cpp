#include "fleet.h"

#include <stdexcept>

namespace tolm::sim {

Module MakeModule(const FleetDefaults& defaults, std::size_t index) {
    const std::string number = std::to_string(index + 1);
    const auto mac = AddToMac(defaults.mac_base, index);
    if (!mac) throw std::invalid_argument("module " + number + ": MAC addresses run out");
    const auto ip = AddToIpv4(defaults.ip_base, index);
    if (!ip) throw std::invalid_argument("module " + number + ": IP addresses run out");
    Module module;
    module.protocol_version = defaults.protocol_version;
    module.fb_type = defaults.fb_types[index % defaults.fb_types.size()];
    module.module_version = defaults.module_versions[index % defaults.module_versions.size()];
    module.mac = *mac;
    module.ip = *ip;
    module.subnet = defaults.subnet;
    module.gateway = defaults.gateway;
    module.dns1 = defaults.dns1;
    module.dns2 = defaults.dns2;
    module.dhcp = defaults.dhcp;
    module.host_name = defaults.host_name_prefix + '-' + number;
    module.password = defaults.password;
    const std::string why = WhyNotResponseText(module.host_name);
    if (!why.empty()) throw std::invalid_argument("module " + number + ": host name " + why);
    return module;
}

std::vector<Module> MakeModules(const FleetDefaults& defaults, std::size_t count) {
    std::vector<Module> modules;
    modules.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        modules.push_back(MakeModule(defaults, index));
    return modules;
}

}  // namespace tolm::sim
