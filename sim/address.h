// Addresses as modules hold them: IPv4 with the first dotted number in the
// most significant byte, MAC as six bytes in written order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolm::sim {

using Ipv4 = std::uint32_t;
using Mac = std::array<std::uint8_t, 6>;

// Exactly four decimal numbers 0..255 joined by '.', nothing else.
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string FormatIpv4(Ipv4 address);

// Six groups of one or two hex digits joined by '-' (or ':'), nothing else.
std::optional<Mac> ParseMac(std::string_view text);
// XX-XX-XX-XX-XX-XX, upper case.
std::string FormatMac(const Mac& mac);

// The address offset places further on; nothing when it would wrap.
std::optional<Ipv4> AddToIpv4(Ipv4 base, std::uint64_t offset);
std::optional<Mac> AddToMac(const Mac& base, std::uint64_t offset);

}  // namespace tolm::sim
