// One simulated module: its settings and the scan response it gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "address.h"

namespace tolm::sim {

struct Version {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint16_t build = 0;  // protocol versions have none
};

struct Module {
    Version protocol_version{1, 0, 0};
    std::string fb_type = "PROFIBUS DP";
    Version module_version{2, 15, 1000};
    Mac mac{0x02, 0, 0, 0, 0, 0x01};
    Ipv4 ip = 0x0A4D0065;       // 10.77.0.101
    Ipv4 subnet = 0xFFFFFF00;   // 255.255.255.0
    Ipv4 gateway = 0x0A4D0001;  // 10.77.0.1
    Ipv4 dns1 = 0x0A4D0001;
    Ipv4 dns2 = 0x0A4D0002;
    bool dhcp = false;
    std::string host_name = "module-1";
    std::string password;  // empty: no password in force
    // Sent verbatim instead of the composed scan response, to try the
    // library on texts that real modules would not send.
    std::optional<std::string> fixed_response;
    // Added to every scan's answer delay: a module that answers late.
    unsigned answer_delay_ms = 0;
};

// The scan-response datagram: lower-case keys, each field ended by ';', and
// one NUL counted in the datagram (or the fixed response as it stands).
std::string ComposeScanResponse(const Module& module);

// Empty when text can stand as a text value of the scan response and be
// read back whole; else why not (a ';', a NUL, a key, too long).
std::string WhyNotResponseText(std::string_view text);

// Empty when text can be a password that a configure request can carry.
std::string WhyNotPassword(std::string_view text);

}  // namespace tolm::sim
