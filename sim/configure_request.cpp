#include "sim/configure_request.h"

#include <cctype>

#include "module_settings.h"

namespace tolm::sim {
namespace {

constexpr std::string_view kConfigureKey = "Configure: ";
constexpr std::string_view kPasswordKey = "Password:";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string UpperTrimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::string upper;
    for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The value after a key: the one blank the sender puts there is not part of it.
std::string_view ValueAfter(std::string_view piece, std::size_t separator) {
    std::string_view value = piece.substr(separator + 1);
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return value;
}

bool SetAddress(std::optional<Ipv4>& field, std::string_view value) {
    field = ParseIpv4(value);
    return field.has_value();
}

// False when the piece names a known key with a malformed value.
bool ReadPiece(std::string_view piece, ConfigureRequest& request) {
    if (StartsWithNoCase(piece, kPasswordKey)) {
        request.password = std::string(ValueAfter(piece, kPasswordKey.size() - 1));
        return true;
    }
    const std::size_t equals = piece.find('=');
    if (equals == std::string_view::npos) return true;
    const std::string key = UpperTrimmed(piece.substr(0, equals));
    const std::string_view value = ValueAfter(piece, equals);
    if (key == "NEW PASSWORD") {
        request.new_password = std::string(value);
    } else if (key == "HN") {
        request.host_name = std::string(value);
    } else if (key == "DHCP") {
        request.dhcp = ParseOnOff(value);
        return request.dhcp.has_value();
    } else if (key == "IP") {
        return SetAddress(request.ip, value);
    } else if (key == "SN") {
        return SetAddress(request.subnet, value);
    } else if (key == "GW") {
        return SetAddress(request.gateway, value);
    } else if (key == "DNS1") {
        return SetAddress(request.dns1, value);
    } else if (key == "DNS2") {
        return SetAddress(request.dns2, value);
    }
    return true;
}

}  // namespace

bool IsConfigureRequest(std::string_view text) {
    return StartsWithNoCase(text, kConfigureKey);
}

std::optional<ConfigureRequest> ParseConfigureRequest(std::string_view text) {
    if (!IsConfigureRequest(text)) return std::nullopt;
    text.remove_prefix(kConfigureKey.size());
    const std::size_t mac_end = text.find(';');
    const auto mac = ParseMac(text.substr(0, mac_end));
    if (!mac) return std::nullopt;
    ConfigureRequest request;
    request.mac = *mac;
    std::string_view rest = mac_end == std::string_view::npos ? "" : text.substr(mac_end + 1);
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        if (!ReadPiece(rest.substr(0, end), request)) return std::nullopt;
        rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
    }
    return request;
}

}  // namespace tolm::sim
