// IPv4 and MAC addresses read from what a user typed, with an error that
// says what is wrong.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tolm.h"

namespace tolm::client {

using Mac = std::array<std::uint8_t, TOLM_MAC_SIZE>;

// "192.168.0.1" into 0xC0A80001: four decimal numbers of 0 to 255 joined by
// dots, nothing else. Nothing, and why in *error, otherwise.
std::optional<std::uint32_t> ParseIpv4(std::string_view text, std::string* error);

// "02-00-0a-0B-0C-0D" or "02:00:0a:0b:0c:0d": six groups of one or two hex
// digits, one separator throughout.
std::optional<Mac> ParseMac(std::string_view text, std::string* error);

// A mask whose one bits all stand before its zero bits.
bool IsContiguousMask(std::uint32_t mask);

}  // namespace tolm::client
