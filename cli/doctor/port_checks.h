// Who holds the UDP port linkora listens on, from the OS's socket table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor/finding.h"

namespace tolm::linkora::doctor {

struct PortHolder {
    std::uint32_t local_address = 0;
    std::uint64_t inode = 0;           // Linux: the socket's inode; 0 elsewhere
    std::optional<std::uint32_t> uid;  // Linux: the owner's user id
    std::optional<std::uint32_t> pid;  // unknown where the OS does not tell
    std::string program;               // its name; empty when unknown
    std::uint64_t drops = 0;           // Linux: datagrams the kernel dropped for it
};

// The sockets of /proc/net/udp bound to the port, without PIDs.
std::vector<PortHolder> ParseProcNetUdp(const std::string& text, std::uint16_t port);

// socket_problem: why linkora's own socket could not be opened, empty when it
// was; holders: every socket on the port, own_pid's left out of the report.
std::vector<Finding> PortFindings(const std::vector<PortHolder>& holders, std::uint32_t own_pid,
                                  const std::string& socket_problem, std::uint16_t port);

}  // namespace tolm::linkora::doctor
