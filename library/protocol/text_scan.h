// Bounded readers for the protocol's text: they never look past the end of
// the view they are given, which need not hold a NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "messages.h"

namespace tolm::protocol {

inline constexpr std::size_t kNotFound = std::string_view::npos;

bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// First position at or after from where key stands, ASCII letters compared
// without regard to case; kNotFound if none.
std::size_t FindNoCase(std::string_view text, std::string_view key, std::size_t from = 0);

// A decimal integer as the C library reads it: leading white space, an
// optional sign, digits; 0 without digits; saturated at the 32-bit range.
std::int32_t ReadDecimal(std::string_view text, std::size_t pos);

// Reads count dotted numbers from pos: each further number starts right
// after the next '.' at or after the start of the one before. Numbers with no
// '.' before them read 0.
void ReadDotted(std::string_view text, std::size_t pos, std::int32_t* numbers, int count);

// Reads "%x-%x-%x-%x-%x-%x" from pos into mac, keeping the bytes for which no
// number was read; true when all six were read.
bool ReadMac(std::string_view text, std::size_t pos, std::uint8_t* mac);

}  // namespace tolm::protocol
