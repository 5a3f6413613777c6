// Reads the arguments of the host's "configure" command into a request
// record: mac= pw= newpw= change= ip= sn= gw= dhcp= hn= dns1= dns2=.
// Unnamed fields keep their "leave unchanged" values: no password, no new
// password, addresses 0xFFFFFFFF, DHCP 2, empty host name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tolm.h"

namespace tolm::host {

// The request, or nullopt with the reason in error.
std::optional<TOLM_ConfigureRequestType> ParseConfigureArgs(const std::vector<std::string>& args,
                                                            std::string& error);

// "02-00-00-00-00-01" (hex groups of one or two digits).
bool ParseMac(const std::string& text, uint8_t (&mac)[TOLM_MAC_SIZE]);
// "192.168.0.1" into 0xC0A80001, or "0x" and up to eight hex digits.
bool ParseAddress(const std::string& text, uint32_t& address);

}  // namespace tolm::host
