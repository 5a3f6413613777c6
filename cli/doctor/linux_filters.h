// Linux's filters between a module's answer and linkora's socket, judged
// from what they print: nftables' rule set (`nft -j list ruleset`),
// `iptables-save`, and reverse-path filtering per adapter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/doctor/finding.h"

namespace tolm::linkora::doctor {

// Rules that drop or reject inbound UDP to the port, and input chains whose
// policy drops with no rule that accepts it. Throws on text that is not
// nft's JSON.
std::vector<Finding> NftFindings(const std::string& ruleset_json, std::uint16_t port);
std::vector<Finding> IptablesFindings(const std::string& saved, std::uint16_t port);

struct ReversePath {
    std::string adapter;
    Ipv4Net net;
    int mode = 0;  // the larger of "all" and the adapter's own: 0 off, 1 strict, 2 loose
};

// default_route: the default route's adapter, empty when none.
std::vector<Finding> ReversePathFindings(const std::vector<ReversePath>& adapters,
                                         const std::string& default_route);

}  // namespace tolm::linkora::doctor

namespace tolm::linkora::doctor {

// A counter of /proc/net/snmp or /proc/net/netstat: a line of names after
// "Group:", then a line of values after it.
std::optional<std::uint64_t> ProcCounter(const std::string& text, const std::string& group,
                                         const std::string& name);

struct FirewalldZone {
    std::string adapter;
    std::string zone;
    bool port_open = false;
};
std::vector<Finding> FirewalldFindings(const std::vector<FirewalldZone>& zones, std::uint16_t port);

}  // namespace tolm::linkora::doctor
