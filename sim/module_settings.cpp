#include "module_settings.h"

#include <stdexcept>
#include <string>

namespace tolm::sim {
namespace {

// The largest UDP payload over IPv4.
constexpr std::size_t kMaxDatagram = 65507;
// A minute: later than any tool waits for an answer.
constexpr unsigned kMaxAnswerDelayMs = 60000;

std::optional<unsigned> ParseNumber(std::string_view text, unsigned max) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

Ipv4 RequireIpv4(std::string_view key, std::string_view value) {
    const auto address = ParseIpv4(value);
    if (!address)
        throw std::invalid_argument(std::string(key) +
                                    ": not an IPv4 address: " + std::string(value));
    return *address;
}

std::string RequireText(std::string_view key, std::string_view value) {
    const std::string why = WhyNotResponseText(value);
    if (!why.empty()) throw std::invalid_argument(std::string(key) + ": " + why);
    return std::string(value);
}

}  // namespace

std::optional<Version> ParseVersion(std::string_view text, bool with_build) {
    const std::size_t first_dot = text.find('.');
    if (first_dot == std::string_view::npos) return std::nullopt;
    const std::size_t second_dot = text.find('.', first_dot + 1);
    if (with_build == (second_dot == std::string_view::npos)) return std::nullopt;
    const auto major = ParseNumber(text.substr(0, first_dot), 255);
    const auto minor = ParseNumber(text.substr(first_dot + 1, second_dot - first_dot - 1), 255);
    const auto build = with_build ? ParseNumber(text.substr(second_dot + 1), 65535) : 0u;
    if (!major || !minor || !build) return std::nullopt;
    return Version{static_cast<std::uint8_t>(*major), static_cast<std::uint8_t>(*minor),
                   static_cast<std::uint16_t>(*build)};
}

std::optional<bool> ParseOnOff(std::string_view text) {
    if (EqualsNoCase(text, "on")) return true;
    if (EqualsNoCase(text, "off")) return false;
    return std::nullopt;
}

void ApplySetting(Module& module, std::string_view key, std::string_view value) {
    const std::string name(key);
    if (key == "mac") {
        const auto mac = ParseMac(value);
        if (!mac) throw std::invalid_argument("mac: not a MAC address: " + std::string(value));
        module.mac = *mac;
    } else if (key == "ip") {
        module.ip = RequireIpv4(key, value);
    } else if (key == "subnet") {
        module.subnet = RequireIpv4(key, value);
    } else if (key == "gateway") {
        module.gateway = RequireIpv4(key, value);
    } else if (key == "dns1") {
        module.dns1 = RequireIpv4(key, value);
    } else if (key == "dns2") {
        module.dns2 = RequireIpv4(key, value);
    } else if (key == "fb-type") {
        module.fb_type = RequireText(key, value);
    } else if (key == "host-name") {
        module.host_name = RequireText(key, value);
    } else if (key == "module-version" || key == "protocol-version") {
        const bool with_build = key == "module-version";
        const auto version = ParseVersion(value, with_build);
        if (!version)
            throw std::invalid_argument(name + ": not a version " + (with_build ? "A.B.C" : "A.B") +
                                        ": " + std::string(value));
        (with_build ? module.module_version : module.protocol_version) = *version;
    } else if (key == "dhcp") {
        const auto on = ParseOnOff(value);
        if (!on) throw std::invalid_argument("dhcp: not on or off: " + std::string(value));
        module.dhcp = *on;
    } else if (key == "password") {
        const std::string why = WhyNotPassword(value);
        if (!why.empty()) throw std::invalid_argument("password: " + why);
        module.password = std::string(value);
    } else if (key == "response") {
        if (value.size() > kMaxDatagram)
            throw std::invalid_argument("response: longer than a UDP datagram can be");
        module.fixed_response = std::string(value);
    } else if (key == "answer-delay-ms") {
        const auto delay = ParseNumber(value, kMaxAnswerDelayMs);
        if (!delay)
            throw std::invalid_argument("answer-delay-ms: not a number of ms up to 60000: " +
                                        std::string(value));
        module.answer_delay_ms = *delay;
    } else {
        throw std::invalid_argument("unknown key: " + name);
    }
}

}  // namespace tolm::sim
