#include <cstdio>
#include <cstring>

#include "messages.h"

namespace tolm::protocol {
namespace {

constexpr std::uint32_t kUnchanged = 0xFFFFFFFF;

// A text field of the host's record, never read past its 128 bytes.
std::string_view Field(const char (&text)[TOLM_TEXT_SIZE]) {
    const void* nul = std::memchr(text, '\0', TOLM_TEXT_SIZE);
    return {text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text)
                      : static_cast<std::size_t>(TOLM_TEXT_SIZE)};
}

class Composer {
  public:
    void Text(std::string_view key, std::string_view value) {
        Append(std::string(key) + std::string(value) + ";");
    }
    void Address(const char* key, std::uint32_t address) {
        char piece[64];
        std::snprintf(piece, sizeof piece, "%s%u.%u.%u.%u;", key, address >> 24,
                      (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
        Append(piece);
    }
    void Append(const std::string& piece) {
        if (piece.size() > kMaxConfigurePiece) fits_ = false;
        message_ += piece;
    }
    std::optional<std::string> Result() const {
        if (!fits_ || message_.size() > kMaxConfigureText) return std::nullopt;
        return message_;
    }
    const std::string& Message() const { return message_; }

  private:
    std::string message_;
    bool fits_ = true;
};

Composer ComposeAll(const TOLM_ConfigureRequestType& r) {
    Composer out;
    char mac[64];
    std::snprintf(mac, sizeof mac, "Configure: %02X-%02X-%02X-%02X-%02X-%02X;", r.abMacId[0],
                  r.abMacId[1], r.abMacId[2], r.abMacId[3], r.abMacId[4], r.abMacId[5]);
    out.Append(mac);
    if (!Field(r.szPassword).empty()) out.Text(kPasswordKey, Field(r.szPassword));
    if (r.bChangePassword == 1) out.Text(kNewPasswordKey, Field(r.szNewPassword));
    if (r.dwIpAddress != kUnchanged) out.Address("IP = ", r.dwIpAddress);
    if (r.dwSubnetMask != kUnchanged) out.Address("SN = ", r.dwSubnetMask);
    if (r.dwGateway != kUnchanged) out.Address("GW = ", r.dwGateway);
    if (r.bDhcpEnabled == 0) out.Append("DHCP = OFF;");
    if (r.bDhcpEnabled == 1) out.Append("DHCP = ON;");
    // The host-name piece always goes, empty or not.
    out.Text(kHostNameKey, Field(r.szHostName));
    if (r.dwDns1 != kUnchanged) out.Address("DNS1 = ", r.dwDns1);
    if (r.dwDns2 != kUnchanged) out.Address("DNS2 = ", r.dwDns2);
    return out;
}

}  // namespace

std::optional<std::string> ComposeConfigureRequest(const TOLM_ConfigureRequestType& r) {
    return ComposeAll(r).Result();
}

std::string ConfigureRequestText(const TOLM_ConfigureRequestType& r) {
    return ComposeAll(r).Message();
}

}  // namespace tolm::protocol
