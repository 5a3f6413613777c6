// What `linkora doctor` reads from the OS, one implementation per OS. Each
// reading either has its value or says why it could not be made; nothing is
// changed and no administrator rights are needed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor/adapter_checks.h"
#include "cli/doctor/port_checks.h"
#include "cli/doctor/scan_checks.h"

namespace tolm::linkora::doctor {

template <typename T>
struct Reading {
    std::optional<T> value;
    std::string problem;  // why there is no value: "only root can ..."
};

Reading<std::vector<NetInterface>> ReadInterfaces();
// The adapter the default route leaves through; an empty name when none.
Reading<std::string> ReadDefaultRoute();
// Every socket bound to the UDP port, this process's own included.
Reading<std::vector<PortHolder>> ReadPortHolders(std::uint16_t port);
std::uint32_t OwnProcessId();

Reading<KernelDrops> ReadKernelDrops();

// The OS's firewall and routing filters that may keep answers on the port
// out: nftables, iptables, firewalld and rp_filter on Linux; the Windows
// Firewall's profiles and rules.
std::vector<Finding> FirewallFindings(const std::vector<NetInterface>& interfaces,
                                      const std::string& default_route, std::uint16_t port);

// The command that gives the adapter a static address, to type.
std::string StaticAddressCommand(const std::string& adapter);

}  // namespace tolm::linkora::doctor
