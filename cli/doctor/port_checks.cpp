#include "cli/doctor/port_checks.h"

#include <sstream>

#include "record_text.h"

namespace tolm::linkora::doctor {
namespace {

constexpr const char* kCheck = "port";

std::string HolderText(const PortHolder& h) {
    if (h.pid)
        return "PID " + std::to_string(*h.pid) +
               (h.program.empty() ? std::string() : " (" + h.program + ")");
    if (h.uid) return "a process of user id " + std::to_string(*h.uid);
    return "another process";
}

}  // namespace

std::vector<PortHolder> ParseProcNetUdp(const std::string& text, std::uint16_t port) {
    // "sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode
    // ref pointer drops"; addresses "0100007F:0CB2", in the host's byte order as hex.
    std::vector<PortHolder> holders;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // the headings
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, pointer;
        std::uint32_t uid = 0, timeout = 0, refs = 0;
        std::uint64_t inode = 0, drops = 0;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
              timeout >> inode >> refs >> pointer))
            continue;
        fields >> drops;
        const std::size_t colon = local.find(':');
        if (colon == std::string::npos) continue;
        try {
            if (std::stoul(local.substr(colon + 1), nullptr, 16) != port) continue;
            const std::uint32_t raw =
                static_cast<std::uint32_t>(std::stoul(local.substr(0, colon), nullptr, 16));
            // The kernel prints the address as a number in its own (little-endian) order.
            const std::uint32_t address =
                (raw & 0xFF) << 24 | (raw & 0xFF00) << 8 | (raw >> 8 & 0xFF00) | raw >> 24;
            PortHolder holder;
            holder.local_address = address;
            holder.inode = inode;
            holder.uid = uid;
            holder.drops = drops;
            holders.push_back(holder);
        } catch (const std::exception&) {
        }
    }
    return holders;
}

std::vector<Finding> PortFindings(const std::vector<PortHolder>& holders, std::uint32_t own_pid,
                                  const std::string& socket_problem, std::uint16_t port) {
    const std::string port_text = "UDP port " + std::to_string(port);
    std::string others;  // with the addresses they hold it on
    std::string names;
    bool unknown = false;
    for (const PortHolder& h : holders) {
        if (h.pid && *h.pid == own_pid) continue;
        if (!h.pid) unknown = true;
        others +=
            (others.empty() ? "" : ", ") + HolderText(h) + " on " + client::IpText(h.local_address);
        names += (names.empty() ? "" : ", ") + HolderText(h);
    }
    std::vector<Finding> findings;
    const std::string more =
        unknown ? " (which process, only an administrator or root can see: run doctor so)" : "";
    if (!socket_problem.empty()) {
        // The library's own words only where the socket table names nobody.
        findings.push_back(
            {Level::kError, kCheck,
             "linkora cannot listen on " + port_text + ": " +
                 (others.empty() ? socket_problem : "it is held by " + others + more),
             others.empty() ? "close the program or tool that uses the port, then run again"
                            : "close " + names +
                                  " (the program, another configuration tool), "
                                  "then run again"});
    } else if (!others.empty()) {
        findings.push_back({Level::kWarning, kCheck,
                            port_text + " is shared with " + others + more +
                                ": answers may go to it instead of linkora",
                            "close that program while scanning"});
    } else {
        findings.push_back({Level::kOk, kCheck, "linkora can listen on " + port_text, ""});
    }
    return findings;
}

}  // namespace tolm::linkora::doctor
