// Settings of one module written as text, shared by the command line and the
// description file.
#pragma once

#include <optional>
#include <string_view>

#include "module.h"

namespace tolm::sim {

// "A.B" (with_build false) or "A.B.C"; A and B 0..255, C 0..65535.
std::optional<Version> ParseVersion(std::string_view text, bool with_build);

// "on" or "off", any letter case.
std::optional<bool> ParseOnOff(std::string_view text);

// Sets one setting by its key (mac, ip, subnet, gateway, dns1, dns2, fb-type,
// module-version, protocol-version, dhcp, host-name, password, response,
// answer-delay-ms).
// Throws std::invalid_argument saying what is wrong with key or value.
void ApplySetting(Module& module, std::string_view key, std::string_view value);

}  // namespace tolm::sim
