// The adapters as the OS lists them (also those the library leaves out:
// without IPv4, down, virtual), judged for what keeps a scan from modules.
#pragma once

#include <string>
#include <vector>

#include "cli/doctor/finding.h"

namespace tolm::linkora::doctor {

enum class AdapterKind { kEthernet, kWireless, kVirtual, kLoopback };

struct NetInterface {
    std::string name;
    std::string description;  // Windows: the driver's description; Linux: empty
    std::uint32_t index = 0;
    bool up = false;  // up with a carrier
    AdapterKind kind = AdapterKind::kEthernet;
    std::vector<Ipv4Net> ipv4;
};

// A virtual or VPN adapter by its name or description: TAP/TUN, Hyper-V,
// VirtualBox, VMware, WSL, Docker bridges, Npcap loopback, WireGuard...
bool LooksVirtual(const std::string& name, const std::string& description);

// default_route: the adapter the default route leaves through, empty when
// there is none; the program's limited broadcast leaves there.
std::vector<Finding> AdapterFindings(const std::vector<NetInterface>& interfaces,
                                     const std::string& default_route);

}  // namespace tolm::linkora::doctor
