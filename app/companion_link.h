// Companion mode: another tool starts the program with "SOCKETCOMM" and a
// UDP port, and learns the module the user picked from one datagram to
// 127.0.0.1 at that port.
#pragma once

#include <cstdint>
#include <string>

struct CompanionMode {
    bool on = false;
    std::uint16_t port = 0;
};

// The first two arguments after the program's name: exactly "SOCKETCOMM",
// then a decimal number (leading blanks, a sign, digits up to the first
// other character) whose low 16 bits are the port. Without a number after
// the switch there is nobody to report to: companion mode stays off.
CompanionMode ReadCompanionMode(int argc, const char* const* argv);

// "<SELECTED_IP>ip</SELECTED_IP>\n<SELECTED_MAC>mac</SELECTED_MAC>", no NUL.
std::string CompanionDatagram(const char* ip, const char* mac);

// One datagram to 127.0.0.1 at `port` from a port the system picks; a
// failure goes unreported, as the tool learns nothing but the datagram.
void SendCompanionDatagram(std::uint16_t port, const std::string& text);
