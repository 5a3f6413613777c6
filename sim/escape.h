// Byte strings written as text: C escapes and hex on the command line and in
// description files, and the escaped form of the datagram log.
#pragma once

#include <string>
#include <string_view>

namespace tolm::sim {

// Decodes \\ \" \' \n \r \t \0 (one NUL, never octal) and \xNN (two hex
// digits). Throws std::invalid_argument naming the bad escape.
std::string DecodeEscapes(std::string_view text);

// Pairs of hex digits; blanks between pairs are allowed. Throws
// std::invalid_argument on anything else.
std::string DecodeHex(std::string_view text);

// Printable ASCII as is, a backslash as \\, every other byte as \xNN (upper
// case): one line per datagram, readable back byte for byte.
std::string EscapeBytes(std::string_view bytes);

}  // namespace tolm::sim
