// A configure request as a module reads it: "Configure: MAC;" followed by
// pieces such as "Password: x;" and "IP = a.b.c.d;", each ended by ';'.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "address.h"

namespace tolm::sim {

struct ConfigureRequest {
    Mac mac{};
    std::optional<std::string> password;
    std::optional<std::string> new_password;  // empty: clear the password
    std::optional<Ipv4> ip;
    std::optional<Ipv4> subnet;
    std::optional<Ipv4> gateway;
    std::optional<bool> dhcp;
    std::optional<std::string> host_name;
    std::optional<Ipv4> dns1;
    std::optional<Ipv4> dns2;
};

// True when text begins with "Configure: " (any letter case).
bool IsConfigureRequest(std::string_view text);

// Keys are read in any letter case and unknown pieces are skipped. Nothing
// when the MAC or a known piece's value is malformed: such a request is
// ignored as a whole rather than applied in part.
std::optional<ConfigureRequest> ParseConfigureRequest(std::string_view text);

}  // namespace tolm::sim
