#include "companion_link.h"

#include <cstring>
#include <optional>

#include "framework/socket.h"

namespace {

constexpr const char* kSwitch = "SOCKETCOMM";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The number's low 16 bits, as a two's complement int would hold them.
std::optional<std::uint16_t> LeadingNumber(const char* text) {
    while (IsBlank(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (*text < '0' || *text > '9') return std::nullopt;
    std::uint16_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(*text - '0'));
    }
    return negative ? static_cast<std::uint16_t>(0u - value) : value;
}

}  // namespace

CompanionMode ReadCompanionMode(int argc, const char* const* argv) {
    if (argc < 3 || std::strcmp(argv[1], kSwitch) != 0) return {};
    const std::optional<std::uint16_t> port = LeadingNumber(argv[2]);
    if (!port) return {};
    return {true, *port};
}

std::string CompanionDatagram(const char* ip, const char* mac) {
    return std::string("<SELECTED_IP>") + ip + "</SELECTED_IP>\n<SELECTED_MAC>" + mac +
           "</SELECTED_MAC>";
}

void SendCompanionDatagram(std::uint16_t port, const std::string& text) {
    CSocket socket;
    if (!socket.Create(0, SOCK_DGRAM)) return;
    socket.SendTo(text.data(), static_cast<int>(text.size()), port, "127.0.0.1");
    socket.Close();
}
