// Module texts are data, not commands: what reaches a terminal has every
// byte below 0x20, 0x7F and above 0x7E written as \xNN, so a host name
// cannot move the cursor, ring the bell or retitle the window.
#pragma once

#include <string>
#include <string_view>

namespace tolm::linkora {

std::string Printable(std::string_view text);
// The same for a message of several lines: its line feeds stay.
std::string PrintableLines(std::string_view text);

}  // namespace tolm::linkora
